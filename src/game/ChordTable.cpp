#include "game/ChordTable.h"

#include <cmath>

#include "game/TrackPath.h"

void ChordTable::build() {
    positions.clear();
    if (!path) return;
    const std::vector<Vector3>& s = path->samples;
    const float spacing = path->spacing;
    const float chordSquared = chord * chord;
    positions.assign(s.size(), 0.0f);
    for (int i = 0; i < static_cast<int>(s.size()); ++i) {
        for (int n = i; n >= 0; --n) {
            const Vector3 d = s[n] - s[i];
            const float squared = d.x * d.x + d.y * d.y + d.z * d.z;
            if (!(squared > chordSquared)) continue;
            const float dn = std::sqrt(squared);
            const float dn1 = n == i ? 0.0f : Vector3::distance(s[n + 1], s[i]);
            const float ahead = static_cast<float>(n + 1) * spacing;
            const float behind = static_cast<float>(n) * spacing;
            const float f = dn == dn1 ? 0.0f : (chord - dn1) / (dn - dn1);
            positions[i] = ahead + (behind - ahead) * f;
            break;
        }
    }
}

float ChordTable::lookup(float x) const {
    if (!path || positions.empty()) return 0.0f;
    int i = 0;
    float r = 0.0f;
    path->indexOf(x, i, r);
    // Both entries are clamped: a path longer than its table (not built since it was resampled)
    // is never read past the end.
    const int last = static_cast<int>(positions.size()) - 1;
    const int a = i < last ? i : last;
    const int b = i + 1 < last ? i + 1 : last;
    const float f = path->spacing > 0.0f ? r / path->spacing : 0.0f;
    return positions[a] + (positions[b] - positions[a]) * f;
}
