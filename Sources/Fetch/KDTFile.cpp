#include "KDTFile.h"

#include "futil.h"
#include "misclib.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

std::string KDTFileName(int32_t code) {
    char name[32];
    snprintf(name, sizeof name, "KD%04d.KDT", code);
    return name;
}

// Reads the open file's records; false when the file did not hold the bytes
// its size promised.
static bool ReadRecords(FILE* file, int64_t count, std::vector<KDT>& days) {
    days.resize(size_t(count));
    unsigned char record[KDT::kRecordSize];
    for (KDT& day : days) {
        if (fread(record, sizeof record, 1, file) != 1) {
            return false;
        }
        KDT::ConvertFromFile(record, day);
    }
    return fgetc(file) == EOF;
}

int32_t ReadKDTFile(const std::string& path, std::vector<KDT>& days, int64_t* byteSize) {
    days.clear();
    if (byteSize != nullptr) {
        *byteSize = 0;
    }
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return errno == ENOENT ? kKDTFileMissing : kKDTFileUnreadable;
    }
    struct stat info;
    int32_t status = kKDTFileRead;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        status = kKDTFileUnreadable;
    } else {
        const int64_t size = info.st_size;
        if (byteSize != nullptr) {
            *byteSize = size;
        }
        if (size == 0) {
            status = kKDTFileEmpty;
        } else if (size % KDT::kRecordSize != 0) {
            status = kKDTFileBadSize;
        } else if (size / KDT::kRecordSize > kKDTFileMaxRecords) {
            status = kKDTFileTooLarge;
        } else if (!ReadRecords(file, size / KDT::kRecordSize, days)) {
            // The file changed while it was read.
            status = kKDTFileUnreadable;
        }
    }
    fclose(file);
    if (status != kKDTFileRead) {
        days.clear();
    }
    return status;
}

const char* KDTFileStatusText(int32_t status) {
    switch (status) {
    case kKDTFileRead:
        return "read";
    case kKDTFileMissing:
        return "no such file";
    case kKDTFileEmpty:
        return "the file is empty";
    case kKDTFileBadSize:
        return "the file's size is not a multiple of 26 bytes (one record per day)";
    case kKDTFileTooLarge:
        return "the file is too large for a price history";
    default:
        return "the file cannot be read";
    }
}

void MergeKDTRows(std::vector<KDT>& days, const std::vector<KDT>& rows) {
    // The rows go first, so that the stable sort puts each of them before a
    // record of its date, and unique keeps it.
    std::vector<KDT> merged;
    merged.reserve(rows.size() + days.size());
    merged.insert(merged.end(), rows.begin(), rows.end());
    merged.insert(merged.end(), days.begin(), days.end());
    const auto earlier = [](const KDT& a, const KDT& b) { return KDTDateKey(a) < KDTDateKey(b); };
    std::stable_sort(merged.begin(), merged.end(), earlier);
    const auto sameDate = [](const KDT& a, const KDT& b) { return KDTDateKey(a) == KDTDateKey(b); };
    merged.erase(std::unique(merged.begin(), merged.end(), sameDate), merged.end());
    days.swap(merged);
}

int32_t WriteKDTFile(const std::string& folder, int32_t code, const std::vector<KDT>& days) {
    const std::string name = KDTFileName(code);
    StReplaceFile file(folder + "/" + name, "wb");
    if (file.stream() == nullptr) {
        return -1;
    }
    int32_t written = 0;
    for (const KDT& day : days) {
        written += day.Write(file.stream());
    }
    if (!file.commit()) {
        return -1;
    }
    SetCreatorAndType(name.c_str(), folder, FourCharCode("TSLD"), FourCharCode("KDT "));
    return written;
}
