#include "SimWords.h"

#include <array>

namespace {

// Words that end a company name, per industry (index 0 is industry 1).
const std::array<QStringList, 33>& sectorWords() {
    static const std::array<QStringList, 33> words = {{
        {"水産", "農産", "漁業"},
        {"鉱業", "鉱産", "資源開発"},
        {"建設", "工務店", "組", "住建"},
        {"食品", "製菓", "製粉", "乳業", "酒造", "フーズ"},
        {"紡績", "繊維", "織物", "アパレル"},
        {"製紙", "紙業", "パルプ"},
        {"化学", "化成", "化工", "ケミカル"},
        {"製薬", "薬品", "ファーマ"},
        {"石油", "石炭", "油化"},
        {"ゴム", "ゴム工業"},
        {"硝子", "窯業", "セメント", "碍子"},
        {"製鋼", "鉄鋼", "製鉄"},
        {"金属鉱業", "電線", "軽金属"},
        {"金属", "金型", "工具"},
        {"機械", "重機", "鉄工所", "精機"},
        {"電機", "電子", "電気", "エレクトロニクス"},
        {"自動車", "車体", "造船", "自工"},
        {"光学", "計器", "精密", "時計"},
        {"楽器", "印刷", "玩具", "文具"},
        {"電力", "ガス", "エネルギー"},
        {"運輸", "鉄道", "運送", "急行"},
        {"海運", "汽船", "船舶"},
        {"航空", "エアライン"},
        {"倉庫", "港運", "物流"},
        {"通信", "システム", "ソフト", "ネット", "データ"},
        {"商事", "物産", "商会", "トレーディング"},
        {"百貨店", "ストア", "商店", "ドラッグ"},
        {"銀行", "信託銀行"},
        {"証券"},
        {"海上火災", "生命", "損保"},
        {"リース", "信販", "クレジット", "ファイナンス"},
        {"不動産", "地所", "土地", "住宅"},
        {"サービス", "企画", "コンサルタント", "警備保障"},
    }};
    return words;
}

const QStringList s_prefixes = {
    "日本",   "東洋", "大和", "三光", "北海",   "中央", "富士", "昭和",   "大同", "東亜",
    "太平洋", "明和", "関東", "関西", "九州",   "四国", "北陸", "山陽",   "信越", "常盤",
    "朝日",   "平和", "新興", "第一", "東邦",   "西部", "南海", "瀬戸内", "栄光", "光陽",
    "千代田", "浪速", "横浜", "神戸", "名古屋", "京都", "広島", "札幌",   "福岡", "仙台",
    "北辰",   "高砂", "若松", "岡本", "田中",   "山田", "鈴木", "中村",   "小林", "高橋"};
const QStringList s_kanaWords = {"テクノ",   "ユニ",       "アドバンス",   "グローバル", "ニュー",
                                 "サン",     "エース",     "パシフィック", "トータル",   "ネクスト",
                                 "アルファ", "オリエント", "ミライ"};
const QStringList s_letters = {"ＮＳ", "ＴＫＣ", "ＪＦＥ", "ＡＩ", "ＭＫ", "ＳＢＩ", "ＫＹ"};
const QStringList s_endings = {"ホールディングス", "インターナショナル",
                               "コーポレーション", "グループ本社",
                               "ジャパン",         "工業",
                               "製作所",           "興業"};
const QStringList s_sentences = {"業界首位級",
                                 "海外売上比率が高い",
                                 "独立系",
                                 "財務体質は堅固",
                                 "研究開発に注力し新製品を相次いで投入",
                                 "国内シェアは上位",
                                 "創業は明治期",
                                 "子会社を通じて海外展開を加速",
                                 "事業の再編を推進中",
                                 "配当性向の引き上げを表明",
                                 "主力工場は地方に集中",
                                 "大手グループの中核企業",
                                 "販売網の拡充を急ぐ",
                                 "原材料高を価格転嫁で吸収する方針"};

const QString& pick(CSimRandom& random, const QStringList& list) {
    return list[random.below(int(list.size()))];
}

} // namespace

const QStringList& simIndustryNames() {
    static const QStringList names = {
        "水産・農林業",     "鉱業",       "建設業",    "食料品",           "繊維製品",
        "パルプ・紙",       "化学",       "医薬品",    "石油・石炭製品",   "ゴム製品",
        "ガラス・土石製品", "鉄鋼",       "非鉄金属",  "金属製品",         "機械",
        "電気機器",         "輸送用機器", "精密機器",  "その他製品",       "電気・ガス業",
        "陸運業",           "海運業",     "空運業",    "倉庫・運輸関連業", "情報・通信",
        "卸売業",           "小売業",     "銀行業",    "証券業",           "保険業",
        "その他金融業",     "不動産業",   "サービス業"};
    return names;
}

QString makeCompanyName(CSimRandom& random, int category) {
    const QString& sector = pick(random, sectorWords()[size_t(category - 1)]);
    QString name;
    switch (random.below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
        name = pick(random, s_prefixes) + sector;
        break;
    case 4:
    case 5:
        name = pick(random, s_kanaWords) + sector;
        break;
    case 6:
        name = pick(random, s_letters) + sector;
        break;
    case 7:
    case 8:
        name = pick(random, s_prefixes) + sector + pick(random, s_endings);
        break;
    default: // the long names, well over 30 bytes in Shift-JIS
        name =
            pick(random, s_prefixes) + pick(random, s_kanaWords) + sector + pick(random, s_endings);
        break;
    }
    return name.left(20);
}

QString makeFeatureText(CSimRandom& random, int category) {
    QString text = simIndustryNames()[category - 1] + "の中堅。";
    const int sentences = random.chance(0.1) ? random.range(8, 10) : random.range(1, 4);
    for (int i = 0; i < sentences; ++i)
        text += pick(random, s_sentences) + "。";
    return text;
}

QString makeBusinessText(CSimRandom& random, int category) {
    const QStringList& words = sectorWords()[size_t(category - 1)];
    const int first = random.range(40, 90);
    const int second = random.range(0, 100 - first);
    QString text = QStringLiteral("%1%2(%3)").arg(words[0]).arg(first).arg(random.range(1, 20));
    if (second > 0)
        text += QStringLiteral("、%1%2(%3)")
                    .arg(pick(random, words))
                    .arg(second)
                    .arg(random.range(1, 20));
    text += QStringLiteral("、その他%1").arg(100 - first - second);
    if (random.chance(0.5))
        text += QStringLiteral("【海外】%1").arg(random.range(1, 70));
    return text;
}
