// What the fuzzing harnesses share: the program state that start-up sets up,
// a scratch folder for readers that take a path, and the page text as a page
// reader is given it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

class CPageData;

// Stops the run when a reader breaks one of its promises; the fuzzer and the
// corpus replay both count the abort as a finding.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Sets what start-up sets before any reader runs: a scratch application folder
// (its ERRORLOG.TXT leads to /dev/null, so the quote reader's log does not
// grow) that is also the preferences folder, the shipped market table and the
// default quote servers. Every harness's LLVMFuzzerInitialize calls it.
void SetUpProgramState();

// The scratch folder, made by SetUpProgramState.
const std::string& ScratchFolder();
// Writes the bytes to name in the scratch folder; returns the file's path.
std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size);

// The text a page reader sees of a download: the bytes before the first zero
// byte, at most limit of them, in a buffer of exactly that many bytes so that
// a read past the text is caught.
std::vector<char> PageText(const uint8_t* data, size_t size, size_t limit);

// A quote page whose 50 slots hold the stocks of tests/fuzz/data/fetchlist.csv,
// as the fetch list sets them up before any page is read.
const CPageData& SlotsPage();

// True when text holds a zero byte within its first size bytes.
bool IsTerminated(const char* text, size_t size);
