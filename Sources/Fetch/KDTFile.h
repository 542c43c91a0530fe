// A stock's KD file read back: the 26-byte records the historical series job
// writes, oldest day first, for the chart and for checking what was written.
#pragma once

#include "KDTPageData.h"

#include <cstdint>
#include <string>
#include <vector>

// Results of ReadKDTFile.
enum {
    kKDTFileRead = 0,
    kKDTFileMissing,
    kKDTFileUnreadable,
    kKDTFileEmpty,
    kKDTFileBadSize, // not a whole number of records
    kKDTFileTooLarge
};

// Far more days than the service's history holds (it starts in 1983).
constexpr int64_t kKDTFileMaxRecords = 1000000;

// "KD%04d.KDT": the file of a stock code.
std::string KDTFileName(int32_t code);

// Reads the file at path into days, oldest first. Returns kKDTFileRead, or
// why nothing was read (days is then empty). byteSize, when given, gets the
// file's size, 0 when it could not be found.
int32_t ReadKDTFile(const std::string& path, std::vector<KDT>& days, int64_t* byteSize = nullptr);
// What a result of ReadKDTFile means, in English.
const char* KDTFileStatusText(int32_t status);
