#include "ui/ProfileManager.h"

#include <algorithm>
#include <cstring>

#include "ui/Global.h"
#include "ui/UserFiles.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Utilities.h"

namespace {
// Moves the named profiles to the front, in their order, and clears the slots after them: the
// profile screens count the named slots from slot 0. The current index follows its profile; when
// the current slot was a free one among them, the first profile becomes current.
void packProfiles(ProfileManager& m) {
    int named = 0, current = -1;
    bool moved = false;
    for (int from = 0; from < 10; ++from) {
        if (m.profiles[from].name[0] == 0) continue;
        if (from == m.currentIndex) current = named;
        if (from != named) {
            std::memcpy(static_cast<void*>(&m.profiles[named]), &m.profiles[from], sizeof(ProfileData));
            moved = true;
        }
        ++named;
    }
    if (!moved) return;
    for (int i = named; i < 10; ++i) std::memset(static_cast<void*>(&m.profiles[i]), 0, sizeof(ProfileData));
    m.currentIndex = current >= 0 ? current : 0;
}
}  // namespace

ProfileManager::ProfileManager() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    load();
    onCurrentProfileChanged();
}

ProfileManager::~ProfileManager() { save(); }

void ProfileManager::load() {
    loadUserFile(getProfilesFileName(), getProductVersion(), this, sizeof(*this));
    // Values from the file are brought into range before use.
    if (currentIndex < 0 || currentIndex > 9) currentIndex = 0;
    for (ProfileData& p : profiles) {
        p.name[sizeof(p.name) - 1] = 0;
        p.bHasSavedGame = p.bHasSavedGame ? 1 : 0;
        p.hearts() = std::clamp(p.hearts(), 0, 99);
        p.lives() = std::max(p.lives(), 0);
        p.level() = std::max(p.level(), 0);
        p.highestLevel() = std::max(p.highestLevel(), 0);
        p.score() = std::max(p.score(), 0);
    }
    packProfiles(*this);
}

bool ProfileManager::save() { return saveUserFile(getProfilesFileName(), getProductVersion(), this, sizeof(*this)); }

void ProfileManager::addProfile(WStringView name) {
    for (int i = 0; i < 10; ++i) {
        if (profiles[i].name[0] != 0) continue;
        profiles[i] = ProfileData();
        setFixedText256(profiles[i].name, name);
        currentIndex = i;
        onCurrentProfileChanged();
        return;
    }
}

void ProfileManager::deleteProfile(int index) {
    if (index < 0 || index > 9) return;
    for (int i = index; i < 9; ++i) profiles[i] = profiles[i + 1];
    // The last slot is freed, not left as a second copy of the profile before it.
    std::memset(static_cast<void*>(&profiles[9]), 0, sizeof(ProfileData));
    if (index != currentIndex) return;
    if (profiles[currentIndex].name[0] == 0) currentIndex = 0;
    // Another profile is current now.
    onCurrentProfileChanged();
}

int ProfileManager::countProfiles() const {
    int n = 0;
    for (const ProfileData& p : profiles) n += p.name[0] != 0;
    return n;
}

WString ProfileManager::getProfileName(int index) const { return index >= 0 && index < 10 ? profiles[index].getName() : WString(); }

void ProfileManager::onCurrentProfileChanged() {
    ProfileData& p = current();
    WString name = p.getName();
    if (name.size() > 16) name.resize(name[15] >= 0xD800 && name[15] <= 0xDBFF ? 15 : 16);
    setFixedText256(p.name, name);
    qelLog(u"ProfileManager::onCurrentProfileChanged", u"Changing profile to '%s'...", name);
    if (game) game->lastHighScoreRow = -1;
}

WString ProfileManager::getProfilesFileName() { return getProductName() + u".pro"; }
WString ProfileManager::getProfilesFolder() { return getUserDataFolder(); }
WString ProfileManager::getProfilesPath() { return getProfilesFolder() + getProfilesFileName(); }
bool ProfileManager::profilesFileExists() { return fileExists(getProfilesPath()); }
