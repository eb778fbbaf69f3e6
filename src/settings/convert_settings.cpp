// Defaults, presets and the step from the baseline to the current instance.
#include "settings/convert_settings.h"

#include <cstdio>
#include <string_view>

#include "settings/settings_keys.h"

namespace geoplait {

namespace {

struct PercentEntry {
    const char* hex;
    const char* percent;
};

constexpr PercentEntry kPercentTable[] = {
    {"FF", " 0%"}, {"DF", "12%"}, {"BF", "25%"}, {"9F", "38%"},
    {"7F", "50%"}, {"5F", "62%"}, {"3F", "75%"}, {"1F", "88%"},
};

constexpr Rgb kLineColorPresets[6][kGroupCount] = {
    // A: the default group colours
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}, {0, 255, 255},
     {255, 160, 160}, {160, 255, 160}, {160, 160, 255}, {255, 255, 160}, {255, 160, 255}, {160, 255, 255}},
    // B
    {{173, 169, 249}, {112, 106, 244}, {52, 42, 239}, {178, 249, 172}, {118, 245, 109}, {59, 241, 45},
     {249, 252, 196}, {242, 248, 132}, {235, 245, 67}, {227, 150, 161}, {212, 96, 113}, {190, 51, 71}},
    // C
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 160, 0}, {0, 255, 160}, {160, 0, 255},
     {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {160, 255, 0}, {0, 160, 255}, {255, 0, 160}},
    // D: white to red
    {{255, 255, 255}, {255, 233, 233}, {255, 212, 212}, {255, 191, 191}, {255, 170, 170}, {255, 148, 148},
     {255, 127, 127}, {255, 106, 106}, {255, 85, 85}, {255, 63, 63}, {255, 42, 42}, {255, 21, 21}},
    // E: white to green
    {{255, 255, 255}, {233, 255, 233}, {212, 255, 212}, {191, 255, 191}, {170, 255, 170}, {148, 255, 148},
     {127, 255, 127}, {106, 255, 106}, {85, 255, 85}, {63, 255, 63}, {42, 255, 42}, {21, 255, 21}},
    // F: white to blue
    {{255, 255, 255}, {233, 233, 255}, {212, 212, 255}, {191, 191, 255}, {170, 170, 255}, {148, 148, 255},
     {127, 127, 255}, {106, 106, 255}, {85, 85, 255}, {63, 63, 255}, {42, 42, 255}, {21, 21, 255}},
};

// Speed presets B to E: 0 upwards in even steps.
constexpr double kSpeedPresetSteps[] = {1, 2, 3, 10};

std::string RgbText3(const Rgb& c) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%3d,%3d,%3d", c.R, c.G, c.B);
    return buffer;
}

int ClampComponent(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Two hex digits at `at` read as a hexadecimal number: the leading hex digits
// count, anything missing or not hex ends the number.
int HexPair(const std::string& hex, size_t at) {
    int value = 0;
    for (size_t i = at; i < at + 2 && i < hex.size(); ++i) {
        int digit = HexDigit(hex[i]);
        if (digit < 0) break;
        value = value * 16 + digit;
    }
    return value;
}

void SetPercent(std::string& percent, const std::string& hex) {
    if (const char* shown = PercentOfTransparent(hex)) percent = shown;
}

}  // namespace

void SetDefaultSettings(Settings& settings) {
    ConfigSettings& config = settings.config;
    ConvertSettings& base = settings.baseline;
    for (const SettingKey& entry : kSettingKeys) {
        switch (entry.type) {
        case KeyType::ConfigText: {
            std::string& field = config.*entry.configText;
            if (entry.startupSwitch) {
                // Never switched off by the defaults; anything but "1" is "0".
                if (field != "1") field.assign(1, '0');  // assign(1, c): GCC 12 warns falsely on = "0"
            } else {
                field = entry.defaultText;
            }
            break;
        }
        case KeyType::ConfigRgb:
            config.*entry.configRgb = entry.defaultRgb;
            break;
        case KeyType::Text:
        case KeyType::Path:
        case KeyType::Choice:
        case KeyType::Mode:
        case KeyType::VLineColour:
            base.*entry.text = entry.defaultText;
            break;
        case KeyType::Flag:
        case KeyType::Int:
            base.*entry.number = entry.defaultNumber;
            break;
        case KeyType::GroupColour:
        case KeyType::GroupText:
            for (int n = 0; n < kGroupCount; ++n) {
                (base.*entry.groupText)[static_cast<size_t>(n)] = entry.groupDefaultTexts[n];
            }
            break;
        case KeyType::SpeedRange:
            for (int n = 0; n < kGroupCount; ++n) {
                (base.*entry.groupNumber)[static_cast<size_t>(n)] = entry.groupDefaultNumbers[n];
            }
            break;
        }
    }

    SettingsPresets& presets = settings.presets;
    for (size_t letter = 0; letter < presets.LineColorPresets.size(); ++letter) {
        for (size_t n = 0; n < kGroupCount; ++n) {
            presets.LineColorPresets[letter][n] = RgbText3(kLineColorPresets[letter][n]);
        }
    }
    presets.SpeedRangePresets[0] = kDefaultSpeedRanges;
    for (size_t letter = 1; letter < presets.SpeedRangePresets.size(); ++letter) {
        for (size_t n = 0; n < kGroupCount; ++n) {
            presets.SpeedRangePresets[letter][n] = static_cast<double>(n) * kSpeedPresetSteps[letter - 1];
        }
    }
}

void ApplyBaselineSettings(Settings& settings) {
    ConvertSettings& current = settings.current;
    // Fields of the current instance that the baseline does not hold.
    std::string vlinePercent = std::move(current.VLineTransparentPercent);
    std::array<std::string, kGroupCount> groupPercents = std::move(current.TransparentPercent);
    std::string calNowDate = std::move(current.Photo_CalNowDate);
    std::string calNowTime = std::move(current.Photo_CalNowTime);
    std::string calCameraDate = std::move(current.Photo_CalCameraDate);
    std::string calCameraTime = std::move(current.Photo_CalCameraTime);

    current = settings.baseline;

    current.Photo_CalNowDate = std::move(calNowDate);
    current.Photo_CalNowTime = std::move(calNowTime);
    current.Photo_CalCameraDate = std::move(calCameraDate);
    current.Photo_CalCameraTime = std::move(calCameraTime);

    current.VLineTransparentPercent = std::move(vlinePercent);
    SetPercent(current.VLineTransparentPercent, current.VLineTransparent);
    current.VLineColor = HexColorOfRgbText(settings.baseline.VLineColor);
    current.TrackLine = 1;

    current.TransparentPercent = std::move(groupPercents);
    for (size_t n = 0; n < kGroupCount; ++n) {
        SetPercent(current.TransparentPercent[n], current.Transparent[n]);
        current.LineColorRGB[n] = HexColorOfRgbText(settings.baseline.LineColorRGB[n]);
    }
}

const char* PercentOfTransparent(const std::string& hex) {
    for (const PercentEntry& entry : kPercentTable) {
        if (hex == entry.hex) return entry.percent;
    }
    return nullptr;
}

const char* TransparentOfPercent(const std::string& percent) {
    for (const PercentEntry& entry : kPercentTable) {
        if (percent == entry.percent) return entry.hex;
    }
    return nullptr;
}

std::string HexColorOfRgbText(const std::string& rgb) {
    int parts[3] = {0, 0, 0};
    std::string_view rest = rgb;
    for (int& part : parts) {
        size_t comma = rest.find(',');
        part = ClampComponent(LeadingInt(rest.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", static_cast<unsigned>(parts[2]),
                  static_cast<unsigned>(parts[1]), static_cast<unsigned>(parts[0]));
    return buffer;
}

Rgb RgbOfHexColor(const std::string& hex) {
    return Rgb{HexPair(hex, 4), HexPair(hex, 2), HexPair(hex, 0)};
}

}  // namespace geoplait
