// A stock's KD file: the 26-byte records the historical series jobs write,
// oldest day first; read back for the chart and for bringing a history up to
// date, and written whole through a temporary.
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

// A day's date as one number, yyyymmdd, ordered as the days are.
inline int32_t KDTDateKey(const KDT& day) {
    return day.year * 10000 + day.month * 100 + day.day;
}

// Puts rows (in any order) into days (oldest first, one record per date): a
// date days already holds takes the row's values, days' other records stay.
void MergeKDTRows(std::vector<KDT>& days, const std::vector<KDT>& rows);

// Writes days in their order as folder/KDTFileName(code) through a temporary
// and stamps the file 'KDT ' / 'TSLD'. Returns the number of records written
// (a day whose year is not 1901..2099 is left out), -1 when the file could not
// be written; an earlier file then stays as it was.
int32_t WriteKDTFile(const std::string& folder, int32_t code, const std::vector<KDT>& days);
