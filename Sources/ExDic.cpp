#include "ExDic.h"

#include "BigEndian.h"
#include "FetchData.h"
#include "FullPath.h"
#include "PageData.h"
#include "TorlindUtil.h"
#include "VezizoMain.h"
#include "futil.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

// Whether the open file is a dictionary: a file of the dictionary's size.
static bool IsDictionary(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_size == CExDic::kFileSize;
}

int32_t CExDic::CheckDic() {
    FILE* file = fopen(kFileName, "rb");
    if (file == nullptr) {
        return 0;
    }
    const bool usable = IsDictionary(file);
    fclose(file);
    return usable ? 1 : 0;
}

bool CExDic::CheckDicSize(std::string& message) {
    struct stat info;
    if (stat(kFileName, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == kFileSize) {
        return true;
    }
    message = MakeUnixFullPath(CurrentDirectory(), kFileName) + " is " +
              std::to_string(info.st_size) + " bytes long, not the " + std::to_string(kFileSize) +
              " bytes of a dictionary (it was cut short, or it is another file); it was left as "
              "it is. Move it away to have a new dictionary made.";
    return false;
}

// Seeds one record from a stock of the fetch list.
static bool WriteSeedRecord(FILE* stream, const CTesselRec& rec) {
    unsigned char record[CExDic::kRecordSize] = {};
    StoreBigEndian32(record + CExDic::kCodeOffset, uint32_t(rec.code));
    strncpy(reinterpret_cast<char*>(record + CExDic::kCodeTextOffset), rec.quoteCode,
            CExDic::kCodeTextSize);
    strncpy(reinterpret_cast<char*>(record + CExDic::kNameOffset), rec.name, CExDic::kNameSize);
    return fseek(stream, long(rec.code) * CExDic::kRecordSize, SEEK_SET) == 0 &&
           fwrite(record, sizeof record, 1, stream) == 1;
}

int32_t CExDic::MakeDic() {
    if (FILE* existing = fopen(kFileName, "rb+")) {
        const bool usable = IsDictionary(existing);
        fclose(existing);
        return usable ? 1 : 0;
    }
    StReplaceFile file(kFileName, "wb");
    if (file.stream() == nullptr) {
        return 0;
    }
    static const unsigned char kEmpty[kRecordSize] = {};
    bool ok = true;
    for (int32_t c = 0; c < kRecordCount && ok; ++c) {
        ok = fwrite(kEmpty, sizeof kEmpty, 1, file.stream()) == 1;
    }
    const int32_t nPages = g_fetchData != nullptr ? g_fetchData->nPages() : 0;
    for (int32_t p = 0; p < nPages && ok; ++p) {
        CPageData* page = g_fetchData->getPage(p);
        for (int32_t i = 0; i < page->nCodes() && ok; ++i) {
            const CTesselRec& rec = *page->getTesselRec(i);
            if (rec.code >= 0 && rec.code < kRecordCount) {
                ok = WriteSeedRecord(file.stream(), rec);
            }
        }
    }
    return ok && file.commit() ? 1 : 0;
}

int32_t CExDic::UpdateFundamental(int32_t code, const FUNDAMENTAL* fundamental) {
    if (code < 0 || code >= kRecordCount) {
        return 0;
    }
    FILE* file = fopen(kFileName, "rb+");
    if (file == nullptr) {
        return 0;
    }
    if (!IsDictionary(file)) {
        fclose(file);
        return 0;
    }
    const long offset = long(code) * kRecordSize;
    unsigned char record[kRecordSize];
    if (fseek(file, offset, SEEK_SET) != 0 || fread(record, sizeof record, 1, file) != 1) {
        fclose(file);
        return 0;
    }
    char market[sizeof fundamental->market + 1] = {};
    memcpy(market, fundamental->market, sizeof fundamental->market);
    StoreBigEndian32(record + kCodeOffset, uint32_t(code));
    StoreBigEndian32(record + kMarketOffset, uint32_t(CTorlindUtil::MarketCode(market)));
    StoreBigEndian32(record + kCategoryOffset,
                     uint32_t(CTorlindUtil::CategoryCode(fundamental->category)));
    memcpy(record + kFeatureOffset, fundamental->feature, kTextSize);
    memcpy(record + kBusinessOffset, fundamental->business, kTextSize);
    const bool written =
        fseek(file, offset, SEEK_SET) == 0 && fwrite(record, sizeof record, 1, file) == 1;
    return fclose(file) == 0 && written ? 1 : 0;
}
