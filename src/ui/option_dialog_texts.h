// The texts of the photo, offset, group line and speed range dialogs that the
// other tables do not hold, in the five interface languages. Data formats
// ("hhmmss.ss"), file name patterns and the "CreateDirectory" switch, which
// the main window's hint quotes, keep their Latin letters in every language.
#pragma once

namespace geoplait::ui {

enum class OptionText : int {
    // Photo dialog
    UseGpsPoint,
    Interpolate,
    RecordsWithin,
    SecondsWithin,
    CameraClock,
    TimeAdjust,
    CameraDiff,
    SecondsExample,
    TimeCalibration,
    Now,
    Camera,
    PickerDate,
    PickerTime,
    TimeStamp,
    GpsDate,
    IfdDate,
    ExitDate,
    FileDate,
    DefaultLocation,
    LatitudeNs,
    LongitudinalEw,
    LatitudeHms,
    LongitudinalHms,
    Icon,
    IconUrl,
    IconThumbnail,
    ThumbnailSize,
    IconName,
    FileName,
    Title,
    Longitudinal,
    TitleHint,
    PhotoUrl,
    PhotoWidth,
    CreateDirectory,
    CreateDirectoryNote,
    CsvOut,
    CsvOutNote,
    IncludeComment,
    TimeStampTag,
    LabelTimeStamp,
    XmpSidecar,
    XmpSidecarNote,
    SidecarName,       // the caption of Photo_SidecarName's choice
    SidecarNameFull,   // its choices, in the order of kSidecarNameChoices
    SidecarNameShort,
    // Offset dialog
    OffsetTitle,
    Slider,
    Seconds,
    Feet,
    Reset,
    // Group line and speed range dialogs
    GroupLineTitle,
    PresetDefault,
    SpeedRangeTitle,
    From,
    To,
    PresetRed,
    PresetGreen,
    PresetBlue,
    // The notices after Esc: the group and speed dialogs, the CSV item dialogs
    CheckCaption,
    CancelNotice,
    ItemsCancelNotice,
    Count
};
inline constexpr int kOptionTextCount = static_cast<int>(OptionText::Count);

// The text in UTF-8 in `language` (an index into kLanguageNames); English
// for a language outside the list.
const char* OptionDialogText(OptionText id, int language);

}  // namespace geoplait::ui
