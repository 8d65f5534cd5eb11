// Loading and saving random files in every code page of the configurator's
// users, checked against a model written plainly from the rules: every line
// cut and decoded whole by the platform, keys looked for with find, and each
// way of writing the file tried line by line. Files are made of pieces that
// reach the hard cases: NULs, lone CRs, 0x1A, lead bytes at line ends and
// before key texts, invalid UTF-8, lone surrogates, repeated keys and lines
// longer than a write block, with and without each byte order mark.
//
// The seed is printed; KV_RANDOM_SEED sets another, KV_RANDOM_FILES the count.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "tests/Utf16Bytes.h"
#include "tests/unit/settings_test_support.h"

namespace {
constexpr int kDefaultFiles = 100'000;
constexpr unsigned kDefaultSeed = 20261209;

// --- The model ------------------------------------------------------------------

enum class Form { Ansi, Utf8, Utf16LE, Utf16BE };

struct ModelKey {
    std::wstring text;     // the key text
    std::wstring checked;  // for the logo: what checks the box
};
const ModelKey kModelKeys[] = {{L"PROTECTION_MODE = ", L""},
                               {L"PROTECTION_CHRONICLE = ", L""},
                               {L"PROTECTION_LOGO = ", L"PROTECTION_LOGO = 1"},
                               {L"PROTECTION_CLIENT_ID = ", L""}};

std::wstring PlatformDecode(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                    static_cast<int>(text.size())));
    return text;
}

std::string PlatformEncode(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}


// One way to write a file: a code page (1200, 1201 for UTF-16) and a mark.
struct Way {
    UINT codePage;
    std::string mark;
};

std::string EncodeIn(const std::wstring& text, UINT codePage) {
    if (codePage == 1200 || codePage == 1201) return Utf16Bytes(text, codePage == 1201);
    return PlatformEncode(text, codePage);
}

std::wstring DecodeIn(const std::string& bytes, UINT codePage) {
    if (codePage != 1200 && codePage != 1201) return PlatformDecode(bytes, codePage);
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<wchar_t>(codePage == 1201 ? a << 8 | b : b << 8 | a);
    }
    return text;
}

struct ModelLine {
    std::string bytes;  // in the file's encoding
    std::wstring text;
    int key = -1;       // the first key whose text the line holds
};

struct ModelFile {
    Way own;
    std::vector<ModelLine> lines;
    std::string tail;  // half a UTF-16 unit at the end
};

ModelFile ReadModel(const std::string& bytes, UINT ansiCodePage) {
    ModelFile file;
    std::string body = bytes;
    file.own = {ansiCodePage, ""};
    const std::pair<const char*, UINT> marks[] = {{"\xEF\xBB\xBF", 65001}, {"\xFF\xFE", 1200}, {"\xFE\xFF", 1201}};
    for (const auto& [mark, codePage] : marks) {
        if (bytes.rfind(mark, 0) == 0) {
            file.own = {codePage, mark};
            body = bytes.substr(std::string(mark).size());
            break;
        }
    }
    const size_t unit = file.own.codePage == 1200 || file.own.codePage == 1201 ? 2 : 1;
    if (body.size() % unit) {
        file.tail = body.substr(body.size() - 1);
        body.pop_back();
    }
    // One unit at a time: a byte, or two bytes of UTF-16.
    const auto unitAt = [&](size_t i) {
        if (unit == 1) return static_cast<unsigned>(static_cast<unsigned char>(body[i]));
        const auto a = static_cast<unsigned char>(body[i]), b = static_cast<unsigned char>(body[i + 1]);
        return static_cast<unsigned>(file.own.codePage == 1201 ? a << 8 | b : b << 8 | a);
    };
    std::string line;
    for (size_t i = 0; i < body.size(); i += unit) {
        const unsigned c = unitAt(i);
        if (c != '\r' && c != '\n') {
            line += body.substr(i, unit);
            continue;
        }
        if (c == '\r' && i + unit < body.size() && unitAt(i + unit) == '\n') i += unit;
        file.lines.push_back({line, {}, -1});
        line.clear();
    }
    if (!line.empty()) file.lines.push_back({line, {}, -1});
    for (ModelLine& l : file.lines) {
        l.text = DecodeIn(l.bytes, file.own.codePage);
        for (int k = 3; k >= 0; --k)
            if (l.text.find(kModelKeys[k].text) != std::wstring::npos) l.key = k;
    }
    return file;
}

TLoadedValues ModelLoad(const ModelFile& file) {
    TLoadedValues values;
    for (const ModelLine& line : file.lines) {
        const std::wstring& text = line.text;
        for (int k = 0; k < 4; ++k) {
            if (!kModelKeys[k].checked.empty()) {
                if (text.find(kModelKeys[k].checked) != std::wstring::npos) values[k] = L"1";
                continue;
            }
            const size_t at = text.find(kModelKeys[k].text);
            if (at == std::wstring::npos) continue;
            std::wstring value = text.substr(at + kModelKeys[k].text.size());
            values[k] = value.substr(0, value.find(L'\0'));
        }
    }
    return values;
}

// The bytes a save writes in `way`, or nothing where a line would not come
// through it; `exact` false lets key lines take substitutes.
std::optional<std::string> ModelWrite(const ModelFile& file, const TWindowValues& values, const Way& way, bool exact) {
    if (!file.tail.empty() && way.codePage != file.own.codePage) return std::nullopt;
    std::string out = way.mark;
    for (const ModelLine& line : file.lines) {
        if (line.key < 0 && way.codePage == file.own.codePage) {
            out += line.bytes;
        } else {
            const std::wstring text = line.key < 0 ? line.text
                                                   : kModelKeys[line.key].text + (values[line.key].empty() ? L"0" : values[line.key]);
            if (line.key < 0 && EncodeIn(text, file.own.codePage) != line.bytes) return std::nullopt;
            const std::string bytes = EncodeIn(text, way.codePage);
            if (exact && DecodeIn(bytes, way.codePage) != text) return std::nullopt;
            out += bytes;
        }
        out += EncodeIn(L"\r\n", way.codePage);
    }
    return out + file.tail;
}

struct ModelSave {
    std::string bytes;
    int way;  // 0 ANSI, 1 own with mark, 2 UTF-8 with mark, 3 none of them
};

ModelSave ModelSaveOf(const ModelFile& file, const TWindowValues& values, UINT ansiCodePage) {
    const Way ways[] = {{ansiCodePage, ""}, file.own, {65001, "\xEF\xBB\xBF"}};
    for (int i = 0; i < 3; ++i)
        if (std::optional<std::string> out = ModelWrite(file, values, ways[i], true)) return {*out, i};
    return {*ModelWrite(file, values, file.own, false), 3};
}

// --- Random files ---------------------------------------------------------------------

const std::vector<std::string> kAsciiPieces = {
    "PROTECTION_MODE = ", "PROTECTION_CHRONICLE = ", "PROTECTION_LOGO = ", "PROTECTION_LOGO = 1",
    "PROTECTION_CLIENT_ID = ", "PROTECTION_ID = ", "PROTECTION_", "PROTECTION_MODE =", "protection_mode = ",
    "0", "1", "2", "57", "12 x", " ", "  ", "#", "[DEFAULT]", "=", "x", std::string(1, '\0'), "\x1A",
    "\r", "\n", "\r\n", "\r\n", "\r\n", "\n\r"};

// Bytes of each code page that its decoding finds hard: double-byte
// characters, lead bytes alone, bytes the code page leaves undefined.
std::vector<std::string> PiecesOf(UINT codePage) {
    switch (codePage) {
        case 1252: return {"\xE9", "\x80", "\x81", "\x8D", "\x9D", "\xFF"};
        case 1251: return {"\xCF\xF0\xE8", "\xE9", "\x98", "\x88", "\xFF"};
        case 932: return {"\x95\x5C", "\x83\x5C", "\x82\xA0", "\xB1", "\x81", "\x95", "\xE0", "\x80", "\xA0", "\xFD"};
        case 936: return {"\xD6\xD0", "\xB0\xA1", "\x81", "\xFE", "\x80", "\xFF", "\x81\x30"};
        case 949: return {"\xB0\xA1", "\xC7\xD1", "\xB0", "\x81", "\xC9", "\xFE", "\xFF"};
        default: return {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xD0\x9F", "\xE6\x97\xA5", "\xFF", "\x80",
                         "\xC3", "\xE2\x82", "\xED\xA0\x80", "\xC0\x80", "\xF5\x80\x80\x80"};
    }
}

const std::vector<std::wstring> kWidePieces = {
    L"\x00E9", L"\x041F", L"\x65E5", L"\xD55C", L"\x20AC", L"\x0100", L"\xD83D\xDE00", L"\xD800", L"\xDC00",
    L"\xFFFD", L"\xFEFF", L"\x0939",
    // "PROTECTION_MODE" in high bytes: its UTF-16 bytes at an odd offset.
    L"\x5000\x5200\x4F00\x5400\x4500\x4300\x5400\x4900\x4F00\x4E00\x5F00\x4D00\x4F00\x4400\x4500"};

// Values the window might hold: codes, build IDs, and texts loaded from
// other files (no NUL and no line break: no edit holds them).
const std::vector<std::wstring> kValues = {L"", L"0", L"1", L"2", L"3", L"57", L"999", L" 3", L"12 x", L"\x041F",
                                           L"\x65E5", L"\x00E9", L"\x0100", L"\xD83D\xDE00", L"\xD800", L"\xFFFD",
                                           L"\x0E01", L"\x20AC"};

class RandomFiles {
public:
    RandomFiles(unsigned seed, UINT codePage) : random_(seed), codePage_(codePage), pieces_(PiecesOf(codePage)) {
        if (codePage != 65001) utf8_ = PiecesOf(65001);
        else utf8_ = pieces_;
    }

    // A file, and the form it was made in.
    std::string Next(Form& form) {
        const unsigned pick = Below(10);
        form = pick < 4 ? Form::Ansi : pick < 6 ? Form::Utf8 : pick < 8 ? Form::Utf16LE : Form::Utf16BE;
        const size_t pieces = Below(4) == 0 ? Below(4) : Below(45);
        if (form == Form::Utf16LE || form == Form::Utf16BE) {
            std::wstring text;
            for (size_t i = 0; i < pieces; ++i) text += WidePiece();
            std::string bytes = (form == Form::Utf16BE ? "\xFE\xFF" : "\xFF\xFE") + Utf16Bytes(text, form == Form::Utf16BE);
            if (Below(8) == 0) bytes += static_cast<char>('a' + Below(3));  // half a unit
            return bytes;
        }
        const std::vector<std::string>& own = form == Form::Utf8 ? utf8_ : pieces_;
        std::string bytes = form == Form::Utf8 ? "\xEF\xBB\xBF" : "";
        for (size_t i = 0; i < pieces; ++i) bytes += BytePiece(own);
        return bytes;
    }

    TWindowValues Values(const TLoadedValues& loaded) {
        TWindowValues values;
        for (size_t k = 0; k < values.size(); ++k) {
            if (k == 2) {
                values[k] = Below(2) ? L"1" : L"0";
            } else if (Below(2) && loaded[k]) {  // as the window holds what it loaded
                values[k] = loaded[k]->substr(std::min(loaded[k]->size(), loaded[k]->find_first_not_of(L' ')));
            } else {
                values[k] = kValues[Below(kValues.size())];
            }
        }
        return values;
    }

    unsigned Below(size_t n) { return static_cast<unsigned>(random_() % n); }

    int longLines = 0;

private:
    std::string BytePiece(const std::vector<std::string>& own) {
        if (Below(1500) == 0) {  // longer than a write block
            ++longLines;
            const std::string& fill = Below(2) ? own[Below(own.size())] : kAsciiPieces[9 + Below(3)];
            std::string line;
            while (line.size() < 262'200 + Below(40'000)) line += fill;
            return line;
        }
        return Below(3) == 0 ? own[Below(own.size())] : kAsciiPieces[Below(kAsciiPieces.size())];
    }

    std::wstring WidePiece() {
        if (Below(3) == 0) return kWidePieces[Below(kWidePieces.size())];
        const std::string& ascii = kAsciiPieces[Below(kAsciiPieces.size())];
        return std::wstring(ascii.begin(), ascii.end());
    }

    std::mt19937 random_;
    UINT codePage_;
    std::vector<std::string> pieces_, utf8_;
};

std::string Hex(const std::string& bytes, size_t most = 240) {
    std::string text;
    char part[4];
    for (size_t i = 0; i < bytes.size() && i < most; ++i) {
        std::snprintf(part, sizeof part, "%02X ", static_cast<unsigned char>(bytes[i]));
        text += part;
    }
    return bytes.size() > most ? text + "... (" + std::to_string(bytes.size()) + " bytes)" : text;
}

unsigned EnvironmentNumber(const wchar_t* name, unsigned fallback) {
    wchar_t value[32];
    return GetEnvironmentVariableW(name, value, 32) ? static_cast<unsigned>(_wtoi(value)) : fallback;
}

class SettingsRandom : public ::testing::TestWithParam<UINT> {};
}  // namespace

TEST_P(SettingsRandom, LoadingAndSavingDoWhatTheModelDoes) {
    const UINT codePage = GetParam();
    const unsigned seed = EnvironmentNumber(L"KV_RANDOM_SEED", kDefaultSeed) + codePage;
    const int files = static_cast<int>(EnvironmentNumber(L"KV_RANDOM_FILES", kDefaultFiles));
    std::printf("code page %u: %d files, seed %u (KV_RANDOM_SEED=%u)\n", codePage, files, seed, seed - codePage);
    RandomFiles random(seed, codePage);
    const auto start = std::chrono::steady_clock::now();
    int forms[4] = {}, ways[4] = {}, failures = 0;
    size_t lines = 0, keyLines = 0;
    for (int i = 0; i < files && failures < 5; ++i) {
        Form form;
        const std::string bytes = random.Next(form);
        ++forms[static_cast<int>(form)];
        const ModelFile model = ReadModel(bytes, codePage);
        lines += model.lines.size();
        for (const ModelLine& line : model.lines) keyLines += line.key >= 0;
        const TLoadedValues expected = ModelLoad(model);
        const TWindowValues values = random.Values(expected);
        const ModelSave save = ModelSaveOf(model, values, codePage);
        ++ways[save.way];
        try {
            const TLoadedValues loaded = settings_test::LoadSettings(bytes, codePage);
            const std::string saved = settings_test::SaveSettings(bytes, codePage, values);
            if (loaded == expected && saved == save.bytes) continue;
            ADD_FAILURE() << "file " << i << (loaded == expected ? "" : ": loaded other values")
                          << (saved == save.bytes ? "" : ": saved other bytes") << "\n  file:  " << Hex(bytes)
                          << "\n  saved: " << Hex(saved) << "\n  model: " << Hex(save.bytes) << " (way "
                          << save.way << ")";
        } catch (const std::exception& e) {
            ADD_FAILURE() << "file " << i << " raised " << e.what() << "\n  file: " << Hex(bytes);
        }
        ++failures;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("  %.1f s; forms: %d ANSI, %d UTF-8, %d UTF-16LE, %d UTF-16BE; %zu lines, %zu key lines, "
                "%d longer than 256 KiB\n  saved as: %d ANSI, %d own encoding with its mark, %d UTF-8 with a mark, "
                "%d with substitutes\n",
                seconds, forms[0], forms[1], forms[2], forms[3], lines, keyLines, random.longLines, ways[0], ways[1],
                ways[2], ways[3]);
}

INSTANTIATE_TEST_SUITE_P(CodePages, SettingsRandom, ::testing::Values(1252u, 1251u, 932u, 936u, 949u, 65001u),
                         [](const ::testing::TestParamInfo<UINT>& codePage) {
                             return "cp" + std::to_string(codePage.param);
                         });
