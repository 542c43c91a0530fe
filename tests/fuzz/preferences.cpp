// The preferences reader on any TorlindX.Preference; then a save and a load
// that must give back the same record.
#include "Preferences.h"
#include "FuzzSupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile(CPreferences::kFileName, data, size);
    CPreferences preferences;
    preferences.Load();

    // A file of another version leaves the defaults.
    FUZZ_CHECK(preferences.version == CPreferences::kVersion);
    FUZZ_CHECK(IsTerminated(preferences.proxyHost, sizeof preferences.proxyHost));
    FUZZ_CHECK(IsTerminated(preferences.defaultFolder, sizeof preferences.defaultFolder));
    const uint32_t creator = preferences.GetCreator();
    FUZZ_CHECK(creator != 0);

    unsigned char saved[CPreferences::kFileSize];
    preferences.ToBytes(saved);
    preferences.Save();
    CPreferences reloaded;
    reloaded.Load();
    unsigned char loaded[CPreferences::kFileSize];
    reloaded.ToBytes(loaded);
    FUZZ_CHECK(std::memcmp(saved, loaded, sizeof saved) == 0);
    return 0;
}
