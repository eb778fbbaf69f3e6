// The settings key table with the defaults, and the text helpers of the
// settings grammar.
#include "settings/settings_keys.h"

#include "base/text_encoding.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace geoplait {

namespace {

using CS = ConvertSettings;
using CF = ConfigSettings;
using S = SettingsSection;

constexpr SettingKey ConfigText(const char* key, std::string CF::*field, const char* def,
                                bool startupSwitch = false) {
    return {.key = key, .type = KeyType::ConfigText, .section = S::Config, .configText = field,
            .defaultText = def, .startupSwitch = startupSwitch,
            .rule = startupSwitch ? ValueRule::Flag : ValueRule::Text};
}
constexpr SettingKey ConfigRgb(const char* key, Rgb CF::*field, Rgb def) {
    return {.key = key, .type = KeyType::ConfigRgb, .section = S::Config, .configRgb = field,
            .defaultRgb = def};
}
constexpr SettingKey Text(S section, const char* key, std::string CS::*field, const char* def,
                          const char* comment = nullptr) {
    return {.key = key, .type = KeyType::Text, .section = section, .text = field, .defaultText = def,
            .comment = comment};
}
// A text that holds a number.
constexpr SettingKey Number(S section, const char* key, std::string CS::*field, const char* def) {
    return {.key = key, .type = KeyType::Text, .section = section, .text = field, .defaultText = def,
            .rule = ValueRule::Number};
}
constexpr SettingKey Path(S section, const char* key, std::string CS::*field, const char* def) {
    return {.key = key, .type = KeyType::Path, .section = section, .text = field, .defaultText = def};
}
constexpr SettingKey Flag(S section, const char* key, int CS::*field, int def) {
    return {.key = key, .type = KeyType::Flag, .section = section, .number = field, .defaultNumber = def,
            .rule = ValueRule::Flag};
}
constexpr SettingKey Int(S section, const char* key, int CS::*field, int def) {
    return {.key = key, .type = KeyType::Int, .section = section, .number = field, .defaultNumber = def,
            .rule = ValueRule::Integer};
}
constexpr SettingKey Choice(const char* key, std::string CS::*field, std::span<const ChoiceValue> choices,
                            const char* def, S section = S::General) {
    return {.key = key, .type = KeyType::Choice, .section = section, .text = field, .defaultText = def,
            .choices = choices};
}

constexpr const char* kDefaultWidths[kGroupCount] = {"2", "2", "2", "2", "2", "2",
                                                     "2", "2", "2", "2", "2", "2"};
constexpr const char* kDefaultTransparents[kGroupCount] = {"FF", "FF", "FF", "FF", "FF", "FF",
                                                           "FF", "FF", "FF", "FF", "FF", "FF"};

constexpr SettingKey kKeyTable[] = {
    // [config]
    ConfigText("AutoLoad", &CF::AutoLoad, "0", true),
    ConfigText("AutoSave", &CF::AutoSave, "0", true),
    ConfigText("Protect", &CF::Protect, "0", true),
    ConfigRgb("BackgroundColor", &CF::BackgroundColor, {240, 240, 245}),
    ConfigRgb("EditColor", &CF::EditColor, {250, 255, 250}),
    ConfigRgb("ComboColor", &CF::ComboColor, {255, 250, 250}),
    ConfigText("LatitudeNS", &CF::LatitudeNS, "N"),
    ConfigText("LongitudeWE", &CF::LongitudeWE, "E"),

    // [config general]
    {.key = "TimeDifference", .type = KeyType::Text, .section = S::General, .text = &CS::TimeDifference,
     .defaultText = "+ 9:00", .rule = ValueRule::TimeDifference},
    {.key = "TimeZone", .type = KeyType::Text, .section = S::General, .text = &CS::TimeZone,
     .defaultText = "", .rule = ValueRule::TimeZone},
    Choice("MeterMile", &CS::MeterMile, kMeterMileChoices, "Km/Meter"),
    Choice("Language", &CS::Language, kLanguageChoices, "日本語"),
    {.key = "Mode", .type = KeyType::Mode, .section = S::General, .text = &CS::Mode,
     .defaultText = "nmea(log) -> kml"},
    Path(S::General, "InputFile", &CS::InputFile, "GPSFile.log"),
    Path(S::General, "OutputFile", &CS::OutputFile, "KMLFile.kml"),
    Flag(S::General, "Bom", &CS::Bom, 1),
    Flag(S::General, "Tokyo2WGS84", &CS::Tokyo2WGS84, 0),
    Flag(S::General, "IncludeData", &CS::IncludeData, 0),
    Number(S::General, "RecordStart", &CS::RecordStart, "1"),
    Number(S::General, "RecordEnd", &CS::RecordEnd, "9999999"),
    Number(S::General, "Satellites", &CS::Satellites, "0"),
    Number(S::General, "Margin", &CS::Margin, "999999"),
    Number(S::General, "Distance", &CS::Distance, "0"),
    Flag(S::General, "ReNumber", &CS::ReNumber, 1),
    Flag(S::General, "OmitErrorData", &CS::OmitErrorData, 1),
    Flag(S::General, "IncludeData_date", &CS::IncludeData_date, 0),
    Text(S::General, "DATE_IncludeStart", &CS::DATE_IncludeStart, ""),
    Text(S::General, "TIME_IncludeStart", &CS::TIME_IncludeStart, ""),
    Text(S::General, "DATE_IncludeEnd", &CS::DATE_IncludeEnd, ""),
    Text(S::General, "TIME_IncludeEnd", &CS::TIME_IncludeEnd, ""),
    Path(S::General, "Name", &CS::Name, "KmlName"),
    Flag(S::General, "Altitude", &CS::Altitude, 0),
    Flag(S::General, "VLineAltitude", &CS::VLineAltitude, 0),
    {.key = "VLineColor", .type = KeyType::VLineColour, .section = S::General, .text = &CS::VLineColor,
     .defaultText = "0,255,0"},
    Text(S::General, "VLineTransparent", &CS::VLineTransparent, "7F"),
    Flag(S::General, "Photo", &CS::Photo, 0),
    Flag(S::General, "Kmz", &CS::Kmz, 0),
    Path(S::General, "PhotoDir", &CS::PhotoDir, ""),
    Flag(S::General, "TimeStampPath", &CS::TimeStampPath, 1),
    Flag(S::General, "TimeStampPosition", &CS::TimeStampPosition, 1),
    Number(S::General, "LineDistance", &CS::LineDistance, ""),
    Number(S::General, "LineDistanceSec", &CS::LineDistanceSec, "600"),
    Flag(S::General, "TrackGroupDate", &CS::TrackGroupDate, 0),
    Flag(S::General, "FileSplit", &CS::FileSplit, 0),
    Flag(S::General, "SpeedGroup", &CS::SpeedGroup, 0),
    Flag(S::General, "Placemark", &CS::Placemark, 1),
    Flag(S::General, "PosType", &CS::PosType, 0),
    Flag(S::General, "PosDistance", &CS::PosDistance, 0),
    Number(S::General, "Interval", &CS::Interval, "1"),
    Text(S::General, "PosType_edit", &CS::PosType_edit, "Start & End"),
    Number(S::General, "PosDistance_edit", &CS::PosDistance_edit, ""),
    Number(S::General, "IconSize", &CS::IconSize, "0.5"),
    Number(S::General, "LabelSize", &CS::LabelSize, "0.8"),
    Flag(S::General, "PosIconUrl", &CS::PosIconUrl, 0),
    Path(S::General, "IconURL", &CS::IconURL, "http://maps.google.com/mapfiles/kml/pal4/icon25.png"),
    Flag(S::General, "Label_No", &CS::Label_No, 1),
    Flag(S::General, "Label_Km", &CS::Label_Km, 1),
    Flag(S::General, "Label_Speed", &CS::Label_Speed, 1),
    Flag(S::General, "Label_Elapsed", &CS::Label_Elapsed, 1),
    Flag(S::General, "Label_Degrees", &CS::Label_Degrees, 0),
    Flag(S::General, "Label_Date", &CS::Label_Date, 0),
    Flag(S::General, "Label_Time", &CS::Label_Time, 0),
    Flag(S::General, "Label_IntervalTime", &CS::Label_IntervalTime, 0),
    Flag(S::General, "Label_Altitude", &CS::Label_Altitude, 0),
    Flag(S::General, "Label_IntervalKm", &CS::Label_IntervalKm, 0),
    Flag(S::General, "Label_Satellites", &CS::Label_Satellites, 0),
    Flag(S::General, "Label_Tex", &CS::Label_Tex, 0),
    Flag(S::General, "Label_LatLon", &CS::Label_LatLon, 0),
    Flag(S::General, "Label_Description", &CS::Label_Description, 1),
    Choice("GpxType", &CS::GpxType, kGpxTypeChoices, "Route"),

    // [config CsvInput]
    Int(S::CsvInput, "Imput_Latitude_ns", &CS::Imput_Latitude_ns, 0),
    Int(S::CsvInput, "Imput_Latitude", &CS::Imput_Latitude, 1),
    Int(S::CsvInput, "Imput_Longitude_ew", &CS::Imput_Longitude_ew, 0),
    Int(S::CsvInput, "Imput_Longitude", &CS::Imput_Longitude, 2),
    Int(S::CsvInput, "Imput_Altitude", &CS::Imput_Altitude, 0),
    Int(S::CsvInput, "Imput_Date", &CS::Imput_Date, 0),
    Int(S::CsvInput, "Imput_Time", &CS::Imput_Time, 0),
    Int(S::CsvInput, "Imput_Speed", &CS::Imput_Speed, 0),
    Int(S::CsvInput, "Imput_Degrees", &CS::Imput_Degrees, 0),
    Text(S::CsvInput, "Imput_Latitude_dms", &CS::Imput_Latitude_dms, "ddmm.mmmm"),
    Text(S::CsvInput, "Imput_Longitude_dms", &CS::Imput_Longitude_dms, "ddmm.mmmm"),
    Text(S::CsvInput, "Imput_Date_ymd", &CS::Imput_Date_ymd, "ddmmyy"),
    Text(S::CsvInput, "Imput_Time_hms", &CS::Imput_Time_hms, "hhmmss UTC"),
    Text(S::CsvInput, "Imput_Speed_nk", &CS::Imput_Speed_nk, "knots"),

    // [config CsvOutput]
    Flag(S::CsvOutput, "Output_Name", &CS::Output_Name, 0),
    Flag(S::CsvOutput, "Output_Latitude_ns", &CS::Output_Latitude_ns, 0),
    Flag(S::CsvOutput, "Output_Latitude_dmm", &CS::Output_Latitude_dmm, 1),
    Flag(S::CsvOutput, "Output_Latitude_ddd", &CS::Output_Latitude_ddd, 0),
    Flag(S::CsvOutput, "Output_Latitude_dms", &CS::Output_Latitude_dms, 0),
    Flag(S::CsvOutput, "Output_Longitude_ew", &CS::Output_Longitude_ew, 0),
    Flag(S::CsvOutput, "Output_Longitude_dmm", &CS::Output_Longitude_dmm, 1),
    Flag(S::CsvOutput, "Output_Longitude_ddd", &CS::Output_Longitude_ddd, 0),
    Flag(S::CsvOutput, "Output_Longitude_dms", &CS::Output_Longitude_dms, 0),
    Flag(S::CsvOutput, "Output_Altitude", &CS::Output_Altitude, 1),
    Flag(S::CsvOutput, "Output_Speed_knots", &CS::Output_Speed_knots, 0),
    Flag(S::CsvOutput, "Output_Speed_km", &CS::Output_Speed_km, 1),
    Flag(S::CsvOutput, "Output_Degrees", &CS::Output_Degrees, 0),
    Flag(S::CsvOutput, "Output_Satellites", &CS::Output_Satellites, 0),
    Flag(S::CsvOutput, "Output_Dilution", &CS::Output_Dilution, 0),
    Flag(S::CsvOutput, "Output_Date_dmy", &CS::Output_Date_dmy, 0),
    Flag(S::CsvOutput, "Output_Date_ymd", &CS::Output_Date_ymd, 1),
    Flag(S::CsvOutput, "Output_Time_utc", &CS::Output_Time_utc, 0),
    Flag(S::CsvOutput, "Output_Time_utc9", &CS::Output_Time_utc9, 1),
    Flag(S::CsvOutput, "Output_Elapsed_Distance", &CS::Output_Elapsed_Distance, 1),
    Flag(S::CsvOutput, "Output_Elapsed_hms", &CS::Output_Elapsed_hms, 1),
    Flag(S::CsvOutput, "Output_Elapsed_sec", &CS::Output_Elapsed_sec, 0),
    Flag(S::CsvOutput, "Output_interval_Distance", &CS::Output_interval_Distance, 1),
    Flag(S::CsvOutput, "Output_interval_hms", &CS::Output_interval_hms, 1),
    Flag(S::CsvOutput, "Output_interval_sec", &CS::Output_interval_sec, 0),
    Flag(S::CsvOutput, "Output_No", &CS::Output_No, 1),
    Flag(S::CsvOutput, "Output_Extend_Data", &CS::Output_Extend_Data, 0),
    Flag(S::CsvOutput, "CsvHeader", &CS::CsvHeader, 0),

    // [config Group]: written group by group, these three lines each.
    {.key = "LineColorRGB", .type = KeyType::GroupColour, .section = S::Group,
     .groupText = &CS::LineColorRGB, .groupDefaultTexts = kDefaultLineColors.data()},
    {.key = "LineWidth", .type = KeyType::GroupText, .section = S::Group, .groupText = &CS::LineWidth,
     .groupDefaultTexts = kDefaultWidths, .rule = ValueRule::Number},
    {.key = "Transparent", .type = KeyType::GroupText, .section = S::Group,
     .groupText = &CS::Transparent, .groupDefaultTexts = kDefaultTransparents},

    // [config SpeedGroup]
    {.key = "SpeedRange", .type = KeyType::SpeedRange, .section = S::SpeedGroup,
     .groupNumber = &CS::SpeedRange, .groupDefaultNumbers = kDefaultSpeedRanges.data(),
     .rule = ValueRule::Number},

    // [config Photo]
    Flag(S::Photo, "Photo_TimeAdjust", &CS::Photo_TimeAdjust, 1),
    Flag(S::Photo, "Photo_TimeAdjustCAL", &CS::Photo_TimeAdjustCAL, 0),
    Flag(S::Photo, "Photo_Exif_GPS_TimeStamp", &CS::Photo_Exif_GPS_TimeStamp, 1),
    Flag(S::Photo, "Photo_Exif_DateTimeOriginal", &CS::Photo_Exif_DateTimeOriginal, 1),
    Flag(S::Photo, "Photo_Exif_DateTime", &CS::Photo_Exif_DateTime, 1),
    Flag(S::Photo, "Photo_FileDate", &CS::Photo_FileDate, 1),
    Flag(S::Photo, "Photo_Exif_GPS_Point", &CS::Photo_Exif_GPS_Point, 1),
    Flag(S::Photo, "Photo_IconUrl", &CS::Photo_IconUrl, 0),
    Flag(S::Photo, "Photo_IconThumbnail", &CS::Photo_IconThumbnail, 1),
    Flag(S::Photo, "Photo_Icon_FileName", &CS::Photo_Icon_FileName, 1),
    Flag(S::Photo, "Photo_Icon_Date", &CS::Photo_Icon_Date, 0),
    Flag(S::Photo, "Photo_Icon_Time", &CS::Photo_Icon_Time, 0),
    Flag(S::Photo, "Photo_Icon_Title", &CS::Photo_Icon_Title, 0),
    Flag(S::Photo, "Photo_Icon_Latitude", &CS::Photo_Icon_Latitude, 0),
    Flag(S::Photo, "Photo_Icon_Longitudinal", &CS::Photo_Icon_Longitudinal, 0),
    Flag(S::Photo, "Photo_PhotoUrl", &CS::Photo_PhotoUrl, 0),
    Flag(S::Photo, "Photo_CreateDirectory", &CS::Photo_CreateDirectory, 1),
    Flag(S::Photo, "Photo_CsvOut", &CS::Photo_CsvOut, 0),
    Flag(S::Photo, "Photo_Comment", &CS::Photo_Comment, 1),
    Flag(S::Photo, "Photo_TimeStamp", &CS::Photo_TimeStamp, 1),
    Flag(S::Photo, "Photo_Label", &CS::Photo_Label, 1),
    Number(S::Photo, "Photo_TimeAdjustSec", &CS::Photo_TimeAdjustSec, "0"),
    Text(S::Photo, "Photo_Default_Latitude_ns", &CS::Photo_Default_Latitude_ns, "N"),
    Number(S::Photo, "Photo_Default_Latitude", &CS::Photo_Default_Latitude, "354154.00"),
    Text(S::Photo, "Photo_Default_Longitudinal_we", &CS::Photo_Default_Longitudinal_we, "E"),
    Number(S::Photo, "Photo_Default_Longitudinal", &CS::Photo_Default_Longitudinal, "1394623.00"),
    Text(S::Photo, "Photo_IconUrl_edit", &CS::Photo_IconUrl_edit,
         "http://maps.google.com/mapfiles/kml/pal4/icon46.png"),
    Number(S::Photo, "Photo_IconThumbnail_Sizel", &CS::Photo_IconThumbnail_Sizel, "1.2"),
    Text(S::Photo, "Photo_PhotoUrl_edit", &CS::Photo_PhotoUrl_edit, "http://"),
    Number(S::Photo, "Photo_LabelSize", &CS::Photo_LabelSize, "0.9"),
    Number(S::Photo, "Photo_IconSize", &CS::Photo_IconSize, "0.9"),
    Number(S::Photo, "Photo_PhotoWidth", &CS::Photo_PhotoWidth, "320"),
    // Positions between two records, and XMP sidecars beside the photos.
    Flag(S::Photo, "Photo_Interpolate", &CS::Photo_Interpolate, 0),
    Number(S::Photo, "Photo_InterpolateSec", &CS::Photo_InterpolateSec, "60"),
    Flag(S::Photo, "Photo_Sidecar", &CS::Photo_Sidecar, 0),
    Choice("Photo_SidecarName", &CS::Photo_SidecarName, kSidecarNameChoices, "Full", S::Photo),
    Number(S::Photo, "Photo_MaxGapSec", &CS::Photo_MaxGapSec, "1800"),

    // [config Adjustment]
    Number(S::Adjustment, "OffNS", &CS::OffNS, "0.00"),
    Number(S::Adjustment, "OffWE", &CS::OffWE, "0.00"),
    Number(S::Adjustment, "OffAltitude", &CS::OffAltitude, "0"),

    // [config CreateNmea]
    Flag(S::CreateNmea, "Create_GPGGA", &CS::Create_GPGGA, 1),
    Flag(S::CreateNmea, "Create_GPRMC", &CS::Create_GPRMC, 1),
    Text(S::CreateNmea, "Default_NS", &CS::Default_NS, "N"),
    Text(S::CreateNmea, "Default_WE", &CS::Default_WE, "E"),
    Number(S::CreateNmea, "Default_Altitude", &CS::Default_Altitude, "0.0"),
    Text(S::CreateNmea, "Default_Unit", &CS::Default_Unit, "M"),
    Text(S::CreateNmea, "Default_UTC_Date", &CS::Default_UTC_Date, "010100", "\t(ddmmyy) 1900/01/01"),
    Text(S::CreateNmea, "Default_UTC_Time", &CS::Default_UTC_Time, "000000"),
};

constexpr SettingKey kCurrentOnlyTable[] = {
    Flag(S::CurrentOnly, "TrackLine", &CS::TrackLine, 1),
    Text(S::CurrentOnly, "Photo_CalNowDate", &CS::Photo_CalNowDate, ""),
    Text(S::CurrentOnly, "Photo_CalNowTime", &CS::Photo_CalNowTime, ""),
    Text(S::CurrentOnly, "Photo_CalCameraDate", &CS::Photo_CalCameraDate, ""),
    Text(S::CurrentOnly, "Photo_CalCameraTime", &CS::Photo_CalCameraTime, ""),
};

bool IsNumbered(KeyType type) {
    return type == KeyType::GroupColour || type == KeyType::GroupText || type == KeyType::SpeedRange;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

const std::array<const char*, kFileSectionCount> kSectionHeaders = {
    "[config]",          "[config general]", "[config CsvInput]",
    "[config CsvOutput]", "[config Group]",   "[config SpeedGroup]",
    "[config Photo]",    "[config Adjustment]", "[config CreateNmea]",
};

const std::array<ChoiceValue, 3> kMeterMileChoices = {{
    {"Km/Meter", "UnitKM"},
    {"Nautical Mile/Feet", "UnitNMF"},
    {"Statute Mile/Feet", "UnitSMF"},
}};
static_assert(std::tuple_size_v<decltype(kMeterMileChoices)> == static_cast<size_t>(UnitSystem::Unknown));

UnitSystem UnitSystemOf(std::string_view meterMile) {
    for (size_t i = 0; i < kMeterMileChoices.size(); ++i) {
        if (meterMile == kMeterMileChoices[i].displayText) return static_cast<UnitSystem>(i);
    }
    return UnitSystem::Unknown;
}

const std::array<ChoiceValue, 2> kGpxTypeChoices = {{
    {"Route", "Route"},
    {"Track", "Track"},
}};

const std::array<ChoiceValue, 2> kSidecarNameChoices = {{
    {"Full", "Full"},
    {"Short", "Short"},
}};

const std::array<ChoiceValue, 5> kLanguageChoices = {{
    {"日本語", "jp-jp"},
    {"English", "en-us"},
    {"汉语(簡)", "zh-cn"},
    {"國語(繁)", "zh-tw"},
    {"한국", "ko-kr"},
}};

const std::array<const char*, kGroupCount> kDefaultLineColors = {
    "255,  0,  0", "  0,255,  0", "  0,  0,255", "255,255,  0", "255,  0,255", "  0,255,255",
    "255,160,160", "160,255,160", "160,160,255", "255,255,160", "255,160,255", "160,255,255",
};

const std::array<double, kGroupCount> kDefaultSpeedRanges = {0, 4, 5, 6, 7, 10, 15, 20, 40, 80, 100, 200};

const std::span<const SettingKey> kSettingKeys{kKeyTable};
const std::span<const SettingKey> kCurrentOnlyKeys{kCurrentOnlyTable};

const SettingKey* FindSettingKey(std::span<const SettingKey> keys, std::string_view key, int& group) {
    group = -1;
    for (const SettingKey& entry : keys) {
        if (!IsNumbered(entry.type) && key == entry.key) return &entry;
    }
    // Numbered keys: prefix before the first "_", group number up to the next "_".
    size_t first = key.find('_');
    if (first == std::string_view::npos) return nullptr;
    std::string_view prefix = key.substr(0, first);
    std::string_view rest = key.substr(first + 1);
    rest = rest.substr(0, rest.find('_'));
    int n = LeadingInt(rest);
    if (n < 1 || n > kGroupCount) return nullptr;
    for (const SettingKey& entry : keys) {
        if (IsNumbered(entry.type) && prefix == entry.key) {
            group = n - 1;
            return &entry;
        }
    }
    return nullptr;
}

int LeadingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

double LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    // Only digits, a point and an exponent: no "inf", "nan" or hex forms.
    if (i >= text.size()) return 0.0;
    size_t digitAt = (text[i] == '-') ? i + 1 : i;
    if (digitAt >= text.size() || !((text[digitAt] >= '0' && text[digitAt] <= '9') || text[digitAt] == '.'))
        return 0.0;
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value;
}

void CutToChars(std::string& text, size_t chars) { text.resize(Utf8CharBytes(text, chars)); }

void AppendFixed2(std::string& out, double value) {
    char buffer[400];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (ec != std::errc()) return;
    out.append(buffer, ptr);
}

}  // namespace geoplait
