#include "FuzzSupport.h"

#include "FetchData.h"
#include "MarketConv.h"
#include "QuoteServers.h"
#include "VezizoMain.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

std::string s_folder;

} // namespace

void SetUpProgramState() {
    if (!s_folder.empty())
        return;
    // A harness writes its file thousands of times a second: memory, where there is some.
    const char* base = std::getenv("TMPDIR");
    if (base == nullptr || base[0] == '\0')
        base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/vezizo-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    s_folder = pattern;
    FUZZ_CHECK(symlink("/dev/null", (s_folder + "/ERRORLOG.TXT").c_str()) == 0);
    g_startupPath = s_folder;
    g_webtempPath = s_folder;
    setenv("XDG_CONFIG_HOME", s_folder.c_str(), 1); // the preferences folder
    static CMarketConv s_markets;
    FUZZ_CHECK(s_markets.LoadMarketCsv(VEZIZO_SOURCE_DIR "/Resources/market.csv") == 1);
    g_marketConv = &s_markets;
    LoadQuoteServers(s_folder);
    // The folder goes with the process (the fuzzer ends by exit()).
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(s_folder, ignored);
    });
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetUpProgramState();
    return 0;
}

const std::string& ScratchFolder() {
    return s_folder;
}

std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size) {
    const std::string path = s_folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
    return path;
}

std::vector<char> PageText(const uint8_t* data, size_t size, size_t limit) {
    const size_t length = strnlen(reinterpret_cast<const char*>(data), size < limit ? size : limit);
    return std::vector<char>(data, data + length);
}

const CPageData& SlotsPage() {
    static CFetchData s_list;
    if (s_list.nPages() == 0)
        FUZZ_CHECK(s_list.LoadFetchData(VEZIZO_SOURCE_DIR "/tests/fuzz/data") == 0);
    return *s_list.getPage(0);
}

bool IsTerminated(const char* text, size_t size) {
    return std::memchr(text, '\0', size) != nullptr;
}
