#pragma once
// A value row choosing the player's country: "--" (none) first, then the countries sorted by
// their two-letter code. Typing a letter while it is hovered jumps to the next code beginning with
// that letter. Every change writes the country's code and its direction on the globe into the
// settings record.

#include "engine/MathUtil.h"
#include "menus/MenuValueItem.h"

struct GameConfigurationRecord;

class CountryPicker : public MenuValueItem {
public:
    static constexpr int COUNTRY_COUNT = 241;
    static constexpr int WIDTH = 512;

    struct Country {
        const char16_t* code;  // ISO 3166 alpha-2; "--" for none
        float latitude;        // of the capital, in degrees
        float longitude;
    };
    // In the order of the English country names; row i is named by the text COUNTRYNONE + i.
    static const Country countries[COUNTRY_COUNT];
    // Row numbers by picker value: 0 first, then rows 1..240 by code. Shared by every picker and
    // rebuilt by each one's constructor.
    static inline int countryOrder[COUNTRY_COUNT] = {};

    CountryPicker(float x, float y, float z, int* target, WStringView caption, WStringView hint);

    void update(double time, double dt) override;
    void drawContents(float x, float y, float z) override;

    static void buildCountryOrder();
    // The row shown at a picker value; row 0 for a value outside the range.
    static int rowAt(int value);
    // The first value after 'current' (wrapping from 240 to 0) whose code's first character, in
    // lower case, is c; 'current' when none is.
    static int letterJump(int current, char16_t c);
    // The unit vector towards a point on the globe: (0, 0, -1) turned by the latitude about the
    // x axis, then by minus the longitude about the y axis.
    static Vector3 direction(float latitude, float longitude);
    // Writes the code (its characters only; the bytes after them are left) and the direction of
    // the country at a picker value into the record.
    static void writeChoice(int value, GameConfigurationRecord& config);
};
