#include "menus/CountryPicker.h"

#include <cmath>
#include <cwctype>
#include <utility>

#include "ui/GameConfiguration.h"
#include "ui/Global.h"
#include "engine/Qel.h"
#include "language/Language.h"
#include "media/QelInput.h"

// The capitals' coordinates to two decimals; a territory without a capital has its main
// settlement (or, uninhabited, its main island).
const CountryPicker::Country CountryPicker::countries[COUNTRY_COUNT] = {
    {u"--", 0.0f, 0.0f}, {u"AF", 34.46f, 69.18f}, {u"AL", 41.30f, 19.81f}, {u"DZ", 36.70f, 3.13f},
    {u"AS", -14.28f, -170.70f}, {u"AD", 42.51f, 1.52f}, {u"AO", -8.84f, 13.23f}, {u"AI", 18.22f, -63.05f},
    {u"AQ", -77.85f, 166.67f}, {u"AG", 17.12f, -61.85f}, {u"AR", -34.60f, -58.38f}, {u"AM", 40.18f, 44.51f},
    {u"AW", 12.52f, -70.03f}, {u"AU", -35.28f, 149.13f}, {u"AT", 48.21f, 16.37f}, {u"AZ", 40.41f, 49.87f},
    {u"BS", 25.05f, -77.35f}, {u"BH", 26.23f, 50.59f}, {u"BD", 23.81f, 90.41f}, {u"BB", 13.10f, -59.62f},
    {u"BY", 53.90f, 27.57f}, {u"BE", 50.85f, 4.35f}, {u"BZ", 17.25f, -88.77f}, {u"BJ", 6.50f, 2.60f},
    {u"BM", 32.29f, -64.78f}, {u"BT", 27.47f, 89.64f}, {u"BO", -19.04f, -65.26f}, {u"BA", 43.86f, 18.41f},
    {u"BW", -24.65f, 25.91f}, {u"BV", -54.42f, 3.36f}, {u"BR", -15.79f, -47.88f}, {u"IO", -7.31f, 72.41f},
    {u"BN", 4.90f, 114.94f}, {u"BG", 42.70f, 23.32f}, {u"BF", 12.37f, -1.52f}, {u"BI", -3.43f, 29.93f},
    {u"KH", 11.56f, 104.92f}, {u"CM", 3.85f, 11.50f}, {u"CA", 45.42f, -75.70f}, {u"CV", 14.93f, -23.51f},
    {u"KY", 19.29f, -81.37f}, {u"CF", 4.39f, 18.56f}, {u"TD", 12.13f, 15.06f}, {u"CL", -33.45f, -70.67f},
    {u"CN", 39.90f, 116.41f}, {u"CX", -10.42f, 105.68f}, {u"CC", -12.19f, 96.83f}, {u"CO", 4.71f, -74.07f},
    {u"KM", -11.70f, 43.26f}, {u"CG", -4.27f, 15.28f}, {u"CD", -4.44f, 15.27f}, {u"CK", -21.21f, -159.78f},
    {u"CR", 9.93f, -84.08f}, {u"CI", 6.83f, -5.29f}, {u"HR", 45.81f, 15.98f}, {u"CU", 23.11f, -82.37f},
    {u"CY", 35.19f, 33.38f}, {u"CZ", 50.08f, 14.44f}, {u"DK", 55.68f, 12.57f}, {u"DJ", 11.59f, 43.15f},
    {u"DM", 15.30f, -61.39f}, {u"DO", 18.49f, -69.93f}, {u"TP", -8.56f, 125.57f}, {u"EC", -0.18f, -78.47f},
    {u"EG", 30.04f, 31.24f}, {u"SV", 13.69f, -89.22f}, {u"GQ", 3.75f, 8.78f}, {u"ER", 15.32f, 38.93f},
    {u"EE", 59.44f, 24.75f}, {u"ET", 9.03f, 38.74f}, {u"FK", -51.70f, -57.85f}, {u"FO", 62.01f, -6.77f},
    {u"FJ", -18.14f, 178.44f}, {u"FI", 60.17f, 24.94f}, {u"FR", 48.86f, 2.35f}, {u"FX", 48.86f, 2.35f},
    {u"GF", 4.92f, -52.33f}, {u"PF", -17.54f, -149.57f}, {u"TF", -49.35f, 70.22f}, {u"GA", 0.42f, 9.47f},
    {u"GM", 13.45f, -16.58f}, {u"GE", 41.72f, 44.79f}, {u"DE", 52.52f, 13.40f}, {u"GH", 5.60f, -0.19f},
    {u"GI", 36.14f, -5.35f}, {u"GR", 37.98f, 23.73f}, {u"GL", 64.18f, -51.72f}, {u"GD", 12.06f, -61.75f},
    {u"GP", 16.00f, -61.73f}, {u"GU", 13.48f, 144.75f}, {u"GT", 14.63f, -90.51f}, {u"GN", 9.64f, -13.58f},
    {u"GW", 11.86f, -15.60f}, {u"GY", 6.80f, -58.16f}, {u"HT", 18.59f, -72.31f}, {u"HM", -53.10f, 73.52f},
    {u"VA", 41.90f, 12.45f}, {u"HN", 14.07f, -87.19f}, {u"HK", 22.28f, 114.16f}, {u"HU", 47.50f, 19.04f},
    {u"IS", 64.15f, -21.94f}, {u"IN", 28.61f, 77.21f}, {u"ID", -6.21f, 106.85f}, {u"IR", 35.69f, 51.39f},
    {u"IQ", 33.32f, 44.37f}, {u"IE", 53.35f, -6.26f}, {u"IL", 31.77f, 35.22f}, {u"IT", 41.90f, 12.50f},
    {u"JM", 17.97f, -76.79f}, {u"JP", 35.68f, 139.69f}, {u"JO", 31.95f, 35.93f}, {u"KZ", 51.17f, 71.45f},
    {u"KE", -1.29f, 36.82f}, {u"KI", 1.33f, 172.98f}, {u"KP", 39.04f, 125.76f}, {u"KR", 37.57f, 126.98f},
    {u"KW", 29.38f, 47.99f}, {u"KG", 42.87f, 74.59f}, {u"LA", 17.98f, 102.63f}, {u"LV", 56.95f, 24.11f},
    {u"LB", 33.89f, 35.50f}, {u"LS", -29.31f, 27.48f}, {u"LR", 6.30f, -10.80f}, {u"LY", 32.89f, 13.19f},
    {u"LI", 47.14f, 9.52f}, {u"LT", 54.69f, 25.28f}, {u"LU", 49.61f, 6.13f}, {u"MO", 22.20f, 113.54f},
    {u"MK", 42.00f, 21.43f}, {u"MG", -18.88f, 47.51f}, {u"MW", -13.96f, 33.79f}, {u"MY", 3.14f, 101.69f},
    {u"MV", 4.18f, 73.51f}, {u"ML", 12.64f, -8.00f}, {u"MT", 35.90f, 14.51f}, {u"MH", 7.09f, 171.38f},
    {u"MQ", 14.62f, -61.06f}, {u"MR", 18.08f, -15.98f}, {u"MU", -20.16f, 57.50f}, {u"YT", -12.78f, 45.23f},
    {u"MX", 19.43f, -99.13f}, {u"FM", 6.92f, 158.16f}, {u"MD", 47.01f, 28.86f}, {u"MC", 43.74f, 7.42f},
    {u"MN", 47.89f, 106.91f}, {u"MS", 16.71f, -62.22f}, {u"MA", 34.02f, -6.83f}, {u"MZ", -25.97f, 32.57f},
    {u"MM", 19.76f, 96.08f}, {u"NA", -22.56f, 17.08f}, {u"NR", -0.55f, 166.92f}, {u"NP", 27.72f, 85.32f},
    {u"NL", 52.37f, 4.90f}, {u"AN", 12.11f, -68.93f}, {u"NC", -22.28f, 166.46f}, {u"NZ", -41.29f, 174.78f},
    {u"NI", 12.11f, -86.24f}, {u"NE", 13.51f, 2.11f}, {u"NG", 9.08f, 7.40f}, {u"NU", -19.06f, -169.92f},
    {u"NF", -29.06f, 167.96f}, {u"MP", 15.21f, 145.75f}, {u"NO", 59.91f, 10.75f}, {u"OM", 23.59f, 58.41f},
    {u"PK", 33.68f, 73.05f}, {u"PW", 7.50f, 134.62f}, {u"PA", 8.98f, -79.52f}, {u"PG", -9.44f, 147.18f},
    {u"PY", -25.26f, -57.58f}, {u"PE", -12.05f, -77.04f}, {u"PH", 14.60f, 120.98f}, {u"PN", -25.07f, -130.10f},
    {u"PL", 52.23f, 21.01f}, {u"PT", 38.72f, -9.14f}, {u"PR", 18.47f, -66.11f}, {u"QA", 25.29f, 51.53f},
    {u"RE", -20.88f, 55.45f}, {u"RO", 44.43f, 26.10f}, {u"RU", 55.76f, 37.62f}, {u"RW", -1.94f, 30.06f},
    {u"KN", 17.30f, -62.72f}, {u"LC", 14.01f, -60.99f}, {u"VC", 13.16f, -61.22f}, {u"WS", -13.83f, -171.76f},
    {u"SM", 43.94f, 12.45f}, {u"ST", 0.34f, 6.73f}, {u"SA", 24.71f, 46.68f}, {u"SN", 14.72f, -17.47f},
    {u"SC", -4.62f, 55.45f}, {u"SL", 8.48f, -13.23f}, {u"SG", 1.29f, 103.85f}, {u"SK", 48.15f, 17.11f},
    {u"SI", 46.06f, 14.51f}, {u"SB", -9.43f, 159.95f}, {u"SO", 2.05f, 45.32f}, {u"ZA", -25.75f, 28.19f},
    {u"GS", -54.28f, -36.51f}, {u"ES", 40.42f, -3.70f}, {u"LK", 6.89f, 79.92f}, {u"SH", -15.92f, -5.72f},
    {u"PM", 46.78f, -56.18f}, {u"SD", 15.50f, 32.56f}, {u"SR", 5.85f, -55.20f}, {u"SJ", 78.22f, 15.65f},
    {u"SZ", -26.31f, 31.14f}, {u"SE", 59.33f, 18.07f}, {u"CH", 46.95f, 7.45f}, {u"SY", 33.51f, 36.29f},
    {u"TW", 25.03f, 121.57f}, {u"TJ", 38.56f, 68.77f}, {u"TZ", -6.16f, 35.75f}, {u"TH", 13.76f, 100.50f},
    {u"TG", 6.13f, 1.22f}, {u"TK", -9.38f, -171.22f}, {u"TO", -21.14f, -175.20f}, {u"TT", 10.65f, -61.51f},
    {u"TN", 36.81f, 10.18f}, {u"TR", 39.93f, 32.86f}, {u"TM", 37.96f, 58.33f}, {u"TC", 21.46f, -71.14f},
    {u"TV", -8.52f, 179.20f}, {u"UG", 0.35f, 32.58f}, {u"UA", 50.45f, 30.52f}, {u"AE", 24.45f, 54.38f},
    {u"GB", 51.51f, -0.13f}, {u"US", 38.91f, -77.04f}, {u"UM", 19.28f, 166.65f}, {u"UY", -34.90f, -56.16f},
    {u"UZ", 41.30f, 69.24f}, {u"VU", -17.73f, 168.32f}, {u"VE", 10.48f, -66.90f}, {u"VN", 21.03f, 105.85f},
    {u"VG", 18.43f, -64.62f}, {u"VI", 18.34f, -64.93f}, {u"WF", -13.28f, -176.17f}, {u"EH", 27.15f, -13.20f},
    {u"YE", 15.37f, 44.19f}, {u"RS", 44.79f, 20.45f}, {u"ME", 42.43f, 19.26f}, {u"ZM", -15.39f, 28.32f},
    {u"ZW", -16.28f, 31.03f},
};

CountryPicker::CountryPicker(float x, float y, float z, int* target, WStringView caption, WStringView hint)
    : MenuValueItem(x, y, z, target, 0, COUNTRY_COUNT - 1, 1, caption, hint) {
    setWidth(WIDTH);
    buildCountryOrder();
}

void CountryPicker::buildCountryOrder() {
    for (int i = 0; i < COUNTRY_COUNT; ++i) countryOrder[i] = i;
    // "--" stays first; the rest by code, compared unit by unit.
    for (int i = 1; i < COUNTRY_COUNT - 1; ++i) {
        int smallest = i;
        for (int j = i + 1; j < COUNTRY_COUNT; ++j)
            if (WStringView(countries[countryOrder[j]].code) < WStringView(countries[countryOrder[smallest]].code))
                smallest = j;
        std::swap(countryOrder[i], countryOrder[smallest]);
    }
}

int CountryPicker::rowAt(int value) {
    if (value < 0 || value >= COUNTRY_COUNT) return 0;
    const int row = countryOrder[value];
    return row >= 0 && row < COUNTRY_COUNT ? row : 0;
}

int CountryPicker::letterJump(int current, char16_t c) {
    if (current < 0 || current >= COUNTRY_COUNT) current = 0;
    for (int k = 1; k <= COUNTRY_COUNT; ++k) {
        const int value = (current + k) % COUNTRY_COUNT;
        if (char16_t(std::towlower(wint_t(countries[rowAt(value)].code[0]))) == c) return value;
    }
    return current;
}

Vector3 CountryPicker::direction(float latitude, float longitude) {
    const double lat = double(latitude) * M_PI / 180.0;
    const double lon = double(longitude) * M_PI / 180.0;
    return Vector3(float(std::cos(lat) * std::sin(lon)), float(std::sin(lat)), float(-std::cos(lat) * std::cos(lon)));
}

void CountryPicker::writeChoice(int value, GameConfigurationRecord& config) {
    const Country& country = countries[rowAt(value)];
    for (size_t i = 0; country.code[i] && i < sizeof(config.countryCode); ++i)
        config.countryCode[i] = char(country.code[i]);
    const Vector3 d = direction(country.latitude, country.longitude);
    config.countryDirection[0] = d.x;
    config.countryDirection[1] = d.y;
    config.countryDirection[2] = d.z;
}

void CountryPicker::update(double time, double dt) {
    MenuValueItem::update(time, dt);
    const char16_t typed = qel && qel->pQelInput ? qel->pQelInput->typedChar : 0;
    if (bHovered && typed != 0) {
        if (target) *target = letterJump(*target, typed);
        bClicked = true;
    }
    if (bClicked && target && game) writeChoice(*target, game->gameConfiguration);
}

void CountryPicker::drawContents(float x, float y, float z) {
    if (!target) return;
    const int row = rowAt(*target);
    const char16_t* name = qel && qel->pLanguage ? qel->pLanguage->getText(TextId(COUNTRYNONE + row)) : nullptr;
    drawValueText(format(u"%s (%s)", WString(countries[row].code), WString(name ? name : u"")), x, y, z);
}
