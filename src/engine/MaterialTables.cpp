// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in syllable names and groups of every material language.
#include "engine/MaterialTables.h"

#include <algorithm>

namespace orva {

namespace {

const char16_t *const kGermanNames[] = {
    u"ba",   u"be",   u"bi",   u"bo", u"bu", u"da", u"de", u"di", u"do", u"du",   u"fa",
    u"fe",   u"fi",   u"fo",   u"fu", u"ga", u"ge", u"gi", u"go", u"gu", u"ha",   u"he",
    u"hi",   u"ho",   u"hu",   u"ja", u"je", u"jo", u"ju", u"ka", u"ke", u"ki",   u"ko",
    u"ku",   u"la",   u"le",   u"li", u"lo", u"lu", u"ma", u"me", u"mi", u"mo",   u"mu",
    u"na",   u"ne",   u"ni",   u"no", u"nu", u"pa", u"pe", u"pi", u"po", u"pu",   u"ra",
    u"re",   u"ri",   u"ro",   u"ru", u"sa", u"se", u"si", u"so", u"su", u"scha", u"sche",
    u"schi", u"scho", u"schu", u"ta", u"te", u"ti", u"to", u"tu", u"wa", u"we",   u"wi",
    u"wo",   u"wu",   u"xe",   u"xi", u"za", u"ze", u"zi", u"zo", u"zu",
};

const char16_t *const kEnglishNames[] = {
    u"ba",  u"be",  u"bi",  u"bo",  u"bu",  u"by",  u"ca", u"ce", u"ci", u"co", u"cu", u"cy",
    u"cha", u"che", u"chi", u"cho", u"chu", u"chy", u"da", u"de", u"di", u"do", u"du", u"dy",
    u"fa",  u"fe",  u"fi",  u"fo",  u"fu",  u"fy",  u"ga", u"ge", u"gi", u"go", u"gu", u"gy",
    u"ha",  u"he",  u"hi",  u"ho",  u"hu",  u"hy",  u"ja", u"je", u"ji", u"jo", u"ju", u"jy",
    u"ka",  u"ke",  u"ki",  u"ko",  u"ku",  u"ky",  u"la", u"le", u"li", u"lo", u"lu", u"ly",
    u"ma",  u"me",  u"mi",  u"mo",  u"mu",  u"my",  u"na", u"ne", u"ni", u"no", u"nu", u"ny",
    u"pa",  u"pe",  u"pi",  u"po",  u"pu",  u"py",  u"qa", u"qe", u"qi", u"qo", u"qu", u"qy",
    u"ra",  u"re",  u"ri",  u"ro",  u"ru",  u"ry",  u"sa", u"se", u"si", u"so", u"su", u"sy",
    u"sha", u"she", u"shi", u"sho", u"shu", u"shy", u"ta", u"te", u"ti", u"to", u"tu", u"ty",
    u"tha", u"the", u"thi", u"tho", u"thu", u"thy", u"va", u"ve", u"vi", u"vo", u"vu", u"vy",
    u"wa",  u"we",  u"wi",  u"wo",  u"wu",  u"wy",  u"xa", u"xe", u"xi", u"xo", u"xu", u"xy",
    u"ya",  u"ye",  u"yi",  u"yo",  u"yu",  u"yy",  u"za", u"ze", u"zi", u"zo", u"zu", u"zy",
};

const char16_t *const kFrenchNames[] = {
    u"ba",  u"bé",  u"bè",  u"bi",  u"bien",  u"bin",  u"bo",   u"bou",  u"bon",  u"bu",
    u"cha", u"ché", u"chè", u"chi", u"chien", u"chin", u"cho",  u"chou", u"chon", u"chu",
    u"da",  u"dé",  u"dè",  u"di",  u"dien",  u"din",  u"do",   u"dou",  u"don",  u"du",
    u"fa",  u"fé",  u"fè",  u"fi",  u"fin",   u"fo",   u"fou",  u"fon",  u"fu",   u"ga",
    u"go",  u"gou", u"gu",  u"gué", u"guè",   u"gui",  u"ja",   u"jé",   u"jè",   u"ji",
    u"jin", u"jo",  u"jou", u"jon", u"ju",    u"ka",   u"ké",   u"kè",   u"ki",   u"kin",
    u"ko",  u"kou", u"ku",  u"la",  u"lé",    u"lè",   u"li",   u"lien", u"lin",  u"lo",
    u"lou", u"lon", u"lu",  u"ma",  u"mé",    u"mè",   u"mi",   u"mien", u"min",  u"mo",
    u"mou", u"mon", u"mu",  u"na",  u"né",    u"nè",   u"ni",   u"nien", u"nin",  u"no",
    u"nou", u"non", u"nu",  u"pa",  u"pé",    u"pè",   u"pi",   u"pin",  u"po",   u"pou",
    u"pon", u"pu",  u"ra",  u"ré",  u"rè",    u"ri",   u"rien", u"rin",  u"ro",   u"rou",
    u"ron", u"ru",  u"sa",  u"sé",  u"sè",    u"si",   u"sien", u"sin",  u"so",   u"sou",
    u"son", u"su",  u"ta",  u"té",  u"tè",    u"ti",   u"tien", u"tin",  u"to",   u"tou",
    u"ton", u"tu",  u"va",  u"vé",  u"vè",    u"vi",   u"vien", u"vin",  u"vo",   u"vou",
    u"von", u"vu",  u"ya",  u"yé",  u"yè",    u"yi",   u"yo",   u"you",  u"yon",  u"yu",
    u"zon",
};

const char16_t *const kPolishNames[] = {
    u"ba",   u"bą",   u"be",   u"bę",   u"bi",  u"bo",   u"bu",   u"by",  u"ca",  u"cą",  u"ce",
    u"cę",   u"ci",   u"co",   u"cu",   u"cy",  u"cia",  u"cią",  u"cie", u"cię", u"cio", u"ciu",
    u"cza",  u"czą",  u"cze",  u"czę",  u"czo", u"czu",  u"czy",  u"da",  u"dą",  u"de",  u"dę",
    u"di",   u"do",   u"du",   u"dy",   u"dza", u"dzą",  u"dze",  u"dzę", u"dzo", u"dzu", u"dzy",
    u"dzia", u"dzią", u"dzie", u"dzię", u"dzi", u"dzio", u"dziu", u"dża", u"dżą", u"dże", u"dżę",
    u"dżi",  u"dżo",  u"dżu",  u"dży",  u"fa",  u"fą",   u"fe",   u"fę",  u"fi",  u"fo",  u"fu",
    u"fy",   u"ga",   u"gą",   u"ge",   u"gę",  u"gi",   u"go",   u"gu",  u"gy",  u"ha",  u"hą",
    u"he",   u"hę",   u"hi",   u"ho",   u"hu",  u"hy",   u"ja",   u"ją",  u"je",  u"ję",  u"ji",
    u"jo",   u"ju",   u"ka",   u"ką",   u"ke",  u"kę",   u"ki",   u"ko",  u"ku",  u"ky",  u"la",
    u"lą",   u"le",   u"lę",   u"li",   u"lo",  u"lu",   u"ly",   u"ła",  u"łą",  u"łe",  u"łę",
    u"łi",   u"ło",   u"łu",   u"ły",   u"ma",  u"mą",   u"me",   u"mę",  u"mi",  u"mo",  u"mu",
    u"my",   u"na",   u"ną",   u"ne",   u"nę",  u"ni",   u"no",   u"nu",  u"ny",  u"nia", u"nią",
    u"nie",  u"nię",  u"nio",  u"niu",  u"pa",  u"pą",   u"pe",   u"pę",  u"pi",  u"po",  u"pu",
    u"py",   u"ra",   u"rą",   u"re",   u"rę",  u"ri",   u"ro",   u"ru",  u"ry",  u"sa",  u"są",
    u"se",   u"sę",   u"si",   u"so",   u"su",  u"sy",   u"sia",  u"sią", u"sie", u"się", u"sio",
    u"siu",  u"sza",  u"szą",  u"sze",  u"szę", u"szi",  u"szo",  u"szu", u"szy", u"ta",  u"tą",
    u"te",   u"tę",   u"ti",   u"to",   u"tu",  u"ty",   u"wa",   u"wą",  u"we",  u"wę",  u"wi",
    u"wo",   u"wu",   u"wy",   u"za",   u"zą",  u"ze",   u"zę",   u"zi",  u"zo",  u"zu",  u"zy",
    u"zia",  u"zią",  u"zie",  u"zię",  u"zio", u"ziu",  u"ża",   u"żą",  u"że",  u"żę",  u"żo",
    u"żu",   u"ży",
};

const char16_t *const kTestNames[] = {
    u"ba", u"da", u"ga", u"ka", u"pa", u"ta",
};

const char16_t *const kAmericanTestNames[] = {
    u"bu", u"du", u"gu", u"ku", u"pu", u"tu",
};

// One group a line: "<label>: <syllables>".
const char16_t *const kGermanGroups = u"A1: ba da ga ka pa ta\n"
                                      u"A2: ha ja ba wa ma na\n"
                                      u"A3: ba ma pa da ta na\n"
                                      u"B,D: ba bo bu da do du\n"
                                      u"B,M: ba be bu ma me mu\n"
                                      u"B,W: ba be bi wa we wi\n"
                                      u"DN: de di do ne ni no\n"
                                      u"DT: de di du te ti tu\n"
                                      u"E1: be de ge ke pe te\n"
                                      u"E2: me he je ge de ke\n"
                                      u"F,W: fe fi fo we wi wo\n"
                                      u"G,D: ga ge gi da de di\n"
                                      u"G,K: gi go gu ki ko ku\n"
                                      u"H,J: ha he hu ja je ju\n"
                                      u"I1: bi di gi ki pi ti\n"
                                      u"I2: zi si wi gi ni fi\n"
                                      u"I3: li ri ti di ni mi\n"
                                      u"L,R: la le lo ra re ro\n"
                                      u"M,N: ma me mi na ne ni\n"
                                      u"M,W: ma mo mu wa wo wu\n"
                                      u"O1: bo do go ko po to\n"
                                      u"O2: bo do go lo ro so\n"
                                      u"S,Z: si se su zi ze zu\n"
                                      u"SCH: scha sche schi scho schu\n"
                                      u"SCH,S: sa se si scha sche schi\n"
                                      u"U1: bu du gu ku pu tu\n"
                                      u"U2: su zu du wu fu lu\n"
                                      u"X,Z: xi xe zi ze\n";

const char16_t *const kBritishGroups = u"A1: ba da ga ka pa ta\n"
                                       u"A2: tha sa ja cha sha za\n"
                                       u"A3: ha ja ba wa ma na\n"
                                       u"A4: ba ma pa da ta na\n"
                                       u"B,D: ba bo bu da do du\n"
                                       u"B,M: ba be bu ma me mu\n"
                                       u"B,W: be bi bo we wi wo\n"
                                       u"CH, TH: cha chi cho tha thi tho\n"
                                       u"CH, SH: che chi chu she shi shu\n"
                                       u"D,N: de di do ne ni no\n"
                                       u"D,T: da di du ta ti tu\n"
                                       u"E1: be de ge ke pe te\n"
                                       u"E2: the se je che she ze\n"
                                       u"E3: he je be we me ne\n"
                                       u"E4: be me pe de te ne\n"
                                       u"F,W: fe fi fo we wi wo\n"
                                       u"G,D: ga ge gi da de di\n"
                                       u"G,K: gi go gu ki ko ku\n"
                                       u"H,J: ha he hu ja je ju\n"
                                       u"I1: bi di gi ki pi ti\n"
                                       u"I2: zi si wi gi ni fi\n"
                                       u"I3: li ri ti di ni mi\n"
                                       u"L,R: la le lo ra re ro\n"
                                       u"M,N: ma me mi na ne ni\n"
                                       u"M,W: ma mo mu wa wo wu\n"
                                       u"O1: bo do go ko po to\n"
                                       u"O2: bo do go lo ro so\n"
                                       u"S,Z: si se su zi ze zu\n"
                                       u"TH,W: thi the thu wi we wu\n"
                                       u"TH,Z: tha tho thu za zo zu\n"
                                       u"U1: bu du gu ku pu tu\n"
                                       u"U2: su zu du wu fu lu\n"
                                       u"X,Z: xa za xi xe zi ze\n";

const char16_t *const kFrenchGroups = u"A1: ba da ga ka pa ta\n";

const char16_t *const kPolishGroups = u"A1: ba pa ga ka da ta\n"
                                      u"A2: fa wa ba ma ga ka\n"
                                      u"A3: ca sa za cza sza ża\n"
                                      u"B,P: ba bo bu pa po pu\n"
                                      u"B,W: ba be bi wa we wi\n"
                                      u"C,CI,CZ: cu co ciu cio czu czo\n"
                                      u"C,DZ: ce co ca dze dzo dza\n"
                                      u"CI,DZI: cio cie cia dzio dzie dzia\n"
                                      u"CZ,DŻ: cza czu cze dża dżu dże\n"
                                      u"E1: be pe ge ke de te\n"
                                      u"E2: me be je re ge ke\n"
                                      u"E3: cze sze te de że ce\n"
                                      u"E,IE: cze dże cie dzie sie zie\n"
                                      u"F,W: fa fi fo wa wi wo\n"
                                      u"D,T: du de di tu te ti\n"
                                      u"G,K: go gu gi ko ku ki\n"
                                      u"G,D: ga gi ge da di de\n"
                                      u"I1: bi pi gi ki di ti\n"
                                      u"I2: bi mi ti wi gi ki\n"
                                      u"K,T: ko ku ka to tu ta\n"
                                      u"M,B: ma mo me ba bo be\n"
                                      u"M,N: ma me mi na ne ni\n"
                                      u"O1: bo po go ko do to\n"
                                      u"O2: bo po ro so zo lo\n"
                                      u"O3: szo ko go zo so żo\n"
                                      u"R,L: ra ro ru la lo lu\n"
                                      u"R,J: re ro ra je jo ja\n"
                                      u"S,Z: sa se su za ze zu\n"
                                      u"SZ,Ż: szo sze szy żo że ży\n"
                                      u"S,SZ: sa se sia sie sza sze\n"
                                      u"U1: bu pu gu ku du tu\n"
                                      u"U2: su zu du tu fu wu\n"
                                      u"Z,ZI,Ż: za ze zia zie ża że\n";

const std::pair<const char16_t *, const char16_t *> kTransliteration[] = {
    { u"a1", u"ą" }, { u"c1", u"ć" }, { u"e1", u"ę" }, { u"e2", u"è" }, { u"e3", u"é" },
    { u"l1", u"ł" }, { u"n1", u"ń" }, { u"s1", u"ś" }, { u"z2", u"ź" }, { u"z1", u"ż" },
};

template<std::size_t N> QStringList nameList(const char16_t *const (&names)[N])
{
    QStringList list;
    list.reserve(N);
    for (const char16_t *name : names)
        list.append(QString::fromUtf16(name));
    return list;
}

QList<SyllableGroup> groupList(const char16_t *table)
{
    QList<SyllableGroup> groups;
    const QString text = QString::fromUtf16(table);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        SyllableGroup group;
        group.label = line.left(colon).toString();
        for (QStringView name : line.mid(colon + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            group.names.append(name.toString());
        groups.append(group);
    }
    return groups;
}

// American English offers the British groups with "U1" and "U2" first.
QList<SyllableGroup> uGroupsFirst(QList<SyllableGroup> groups)
{
    std::stable_partition(groups.begin(), groups.end(), [](const SyllableGroup &group) {
        return group.label == QLatin1String("U1") || group.label == QLatin1String("U2");
    });
    return groups;
}

MaterialTables makeTables(QStringList training, QStringList test, const char16_t *groups)
{
    MaterialTables tables;
    tables.trainingNames = std::move(training);
    tables.testNames = std::move(test);
    tables.trainingGroups = groupList(groups);
    tables.testGroups = { { QStringLiteral("S0"), tables.testNames } };
    return tables;
}

} // namespace

const MaterialTables &materialTables(int language)
{
    static const MaterialTables german =
        makeTables(nameList(kGermanNames), nameList(kTestNames), kGermanGroups);
    static const MaterialTables american = [] {
        MaterialTables tables =
            makeTables(nameList(kEnglishNames), nameList(kAmericanTestNames), kBritishGroups);
        tables.trainingGroups = uGroupsFirst(tables.trainingGroups);
        return tables;
    }();
    static const MaterialTables british =
        makeTables(nameList(kEnglishNames), nameList(kTestNames), kBritishGroups);
    static const MaterialTables french =
        makeTables(nameList(kFrenchNames), nameList(kTestNames), kFrenchGroups);
    static const MaterialTables polish =
        makeTables(nameList(kPolishNames), nameList(kTestNames), kPolishGroups);
    static const MaterialTables none;
    switch (language) {
    case 0:
        return german;
    case 1:
        return american;
    case 2:
    case 3:
        return british;
    case 4:
        return french;
    case 5:
        return polish;
    default:
        return none;
    }
}

QString syllableNameFromPath(const QString &path)
{
    const qsizetype separator =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(separator + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    for (QChar &c : name) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    for (const auto &[code, letter] : kTransliteration)
        name.replace(QString::fromUtf16(code), QString::fromUtf16(letter));
    return name;
}

QString recordingBaseName(const QString &name)
{
    QString base = name;
    for (const auto &[code, letter] : kTransliteration)
        base.replace(QString::fromUtf16(letter), QString::fromUtf16(code));
    return base;
}

} // namespace orva
