#pragma once
// The ten player profiles and the current one, stored as the ".pro" file.

#include <cstdint>

#include "ui/ProfileData.h"

#pragma pack(push, 1)
class ProfileManager {
public:
    // Empty, then the ".pro" file when there is a valid one.
    ProfileManager();
    // Saves, so that ending the program always writes ".pro".
    ~ProfileManager();
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    // Reads ".pro"; a damaged or foreign file is renamed aside with ".bad" and the empty record stays;
    // a file that exists but cannot be read is left alone and not overwritten in this run.
    void load();
    // Writes ".pro"; false (reported with the reason, the old file intact) when it cannot.
    bool save();
    // The first free slot gets a fresh profile with the name and becomes current; nothing when full.
    void addProfile(WStringView name);
    // Later slots move down; the freed last slot is cleared.
    void deleteProfile(int index);
    int countProfiles() const;
    WString getProfileName(int index) const;
    void onCurrentProfileChanged();
    ProfileData& current() { return profiles[currentIndex]; }

    static WString getProfilesFileName();
    static WString getProfilesFolder();
    static WString getProfilesPath();
    static bool profilesFileExists();

    int32_t currentIndex = 0;
    ProfileData profiles[10];
};
#pragma pack(pop)

static_assert(sizeof(ProfileManager) == 18484);
