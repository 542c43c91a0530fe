// The extension dictionary "VellmarkEx.DIC" of a chart program: 10,000
// records of 1,024 bytes, record c for stock code c, numbers big-endian.
#pragma once

#include <cstdint>
#include <string>

struct FUNDAMENTAL;

class CExDic {
public:
    static constexpr const char* kFileName = "VellmarkEx.DIC";
    static constexpr int32_t kRecordCount = 10000;
    static constexpr int32_t kRecordSize = 1024;
    // The size of every dictionary; a file of another size is never written into.
    static constexpr int64_t kFileSize = int64_t(kRecordCount) * kRecordSize;

    // Byte offsets inside a record.
    enum {
        kCodeOffset = 0,
        kMarketOffset = 4,
        kCategoryOffset = 8,
        kCodeTextOffset = 16,
        kCodeTextSize = 16,
        kNameOffset = 32,
        kNameSize = 32,
        kFeatureOffset = 80,
        kBusinessOffset = 336,
        kTextSize = 256,
    };

    virtual ~CExDic() = default;

    // The file lies in the current directory (the application folder).
    // 1 when the dictionary can be opened for reading and has its size, else 0.
    static int32_t CheckDic();
    // False when a file of another size than a dictionary's lies in the
    // dictionary's place (cut short, or another program's); message then
    // says what it is and what to do (UTF-8). True when there is none.
    static bool CheckDicSize(std::string& message);
    // Creates the dictionary, seeded with the code, code text and name of every
    // stock of the loaded fetch list, unless one exists. The new file appears
    // only when complete. 1 when a dictionary of its size exists afterwards,
    // else 0; an existing file is never changed.
    static int32_t MakeDic();
    // Stores one profile into record code, keeping the record's other fields.
    // 1 when the record was written; 0 when the file (also one of another
    // size), the record or the code (outside 0..9999) was unusable, in which
    // case nothing is written.
    static int32_t UpdateFundamental(int32_t code, const FUNDAMENTAL* record);
};
