// Failures of the visual style at start-up, on copies of the exe whose style
// resources were removed, damaged or doubled.
#include "tests/e2e/Faults.h"

#include <algorithm>
#include <regex>
#include <vector>

#include "framework/core/Handles.h"

namespace e2e {
namespace {

constexpr wchar_t kStyleType[] = L"VCLSTYLE";
constexpr wchar_t kStyleName[] = L"CARBON";

// One resource of an exe; integer types and names are written "#n".
struct Resource {
    std::wstring type, name;
    WORD language = 0;
    std::string bytes;
};

LPCWSTR ResourceId(const std::wstring& id) {
    return id[0] == L'#' ? MAKEINTRESOURCEW(std::stoi(id.substr(1))) : id.c_str();
}

std::wstring IdText(LPCWSTR id) {
    return IS_INTRESOURCE(id) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(id)) : std::wstring(id);
}

struct ResourceReader {
    HMODULE module;
    std::vector<Resource> found;

    static BOOL CALLBACK Language(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
        auto* reader = reinterpret_cast<ResourceReader*>(param);
        HRSRC info = FindResourceExW(module, type, name, language);
        HGLOBAL data = info ? LoadResource(module, info) : nullptr;
        if (!data) return TRUE;
        reader->found.push_back(Resource{IdText(type), IdText(name), language,
                                         std::string(static_cast<const char*>(LockResource(data)),
                                                     SizeofResource(module, info))});
        return TRUE;
    }
    static BOOL CALLBACK Name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
        EnumResourceLanguagesW(module, type, name, Language, param);
        return TRUE;
    }
    static BOOL CALLBACK Type(HMODULE module, LPWSTR type, LONG_PTR param) {
        EnumResourceNamesW(module, type, Name, param);
        return TRUE;
    }
};

std::vector<Resource> ReadResources(const std::wstring& exe) {
    UniqueModule module(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ResourceReader reader{module.get(), {}};
    if (module) EnumResourceTypesW(module.get(), ResourceReader::Type, reinterpret_cast<LONG_PTR>(&reader));
    return reader.found;
}

// Replaces all resources of the exe by `resources`. (Wine's UpdateResourceW
// does not delete a single resource; rewriting them all does.)
bool WriteResources(const std::wstring& exe, const std::vector<Resource>& resources) {
    HANDLE update = BeginUpdateResourceW(exe.c_str(), TRUE);
    if (!update) return false;
    bool ok = true;
    for (const Resource& resource : resources)
        ok = UpdateResourceW(update, ResourceId(resource.type), ResourceId(resource.name), resource.language,
                             const_cast<char*>(resource.bytes.data()), static_cast<DWORD>(resource.bytes.size())) &&
             ok;
    return EndUpdateResourceW(update, !ok) && ok;
}

bool IsStyle(const Resource& resource, const std::wstring& name) {
    return resource.type == kStyleType && resource.name == name;
}

class StyleTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        WriteSettings(kNeutralSettings);
        resources_ = ReadResources(Exe());
        auto carbon = std::find_if(resources_.begin(), resources_.end(),
                                   [](const Resource& resource) { return IsStyle(resource, kStyleName); });
        ASSERT_NE(carbon, resources_.end()) << "the exe has no style";
        carbon_ = *carbon;
    }

    // Rewrites the exe copy with the style resources changed.
    void WriteStyles(std::vector<Resource> styles) {
        std::vector<Resource> edited;
        for (const Resource& resource : resources_)
            if (resource.type != kStyleType) edited.push_back(resource);
        edited.insert(edited.end(), styles.begin(), styles.end());
        ASSERT_TRUE(WriteResources(Exe(), edited));
        // The rewrite took: only the given styles remain, the rest is intact.
        std::vector<Resource> written = ReadResources(Exe());
        ASSERT_EQ(written.size(), edited.size());
        ASSERT_EQ(std::count_if(written.begin(), written.end(),
                                [](const Resource& resource) { return resource.type == kStyleType; }),
                  static_cast<std::ptrdiff_t>(styles.size()));
    }

    Resource Damaged(const std::wstring& name) const {
        return Resource{kStyleType, name, carbon_.language, "not a style at all"};
    }

    static bool IsFatalText(const std::wstring& text, const std::string& message) {
        return std::regex_match(Narrow(text), std::regex("Exception ECustomStyleException in module KorvaneCFG\\.exe at "
                                                         "[0-9A-F]{8}\\.\r\n" + message + "\r\n?"));
    }

    std::vector<Resource> resources_;
    Resource carbon_;
};

TEST_F(StyleTest, MissingStyleIsReportedAndTheWindowOpensAnyway) {
    ASSERT_NO_FATAL_FAILURE(WriteStyles({}));
    Start();
    HWND box = WaitForDialog(App());
    ASSERT_NE(box, nullptr) << "no style-not-found box; the process " << App().Describe();
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(content.caption, L"Error");
    EXPECT_EQ(content.texts, std::vector<std::wstring>{L"Style 'Carbon' not found"});
    EXPECT_EQ(content.icon, IconKind::Error);
    ASSERT_EQ(content.buttons.size(), 1u);
    EXPECT_EQ(content.buttons[0].text, L"&Close");
    EXPECT_EQ(App().FindTopLevel(kMainWindowClass, false), nullptr) << "the window came before the box";

    ASSERT_TRUE(PressDialogButton(box, content.buttons[0].id));
    main_ = App().WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    EXPECT_TRUE(VisibleDialogs(App()).empty());
    // Without the dark style the settings group is drawn in the system's light look.
    ASSERT_TRUE(BringToForeground(main_));
    double brightness = MeanBrightness(Screenshot::OfSettledWindow(Control(kIdGroupBox4)));
    EXPECT_GT(brightness, 150) << "the window is drawn dark";
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(StyleTest, DamagedStyleIsFatalWithExitCodeOne) {
    ASSERT_NO_FATAL_FAILURE(WriteStyles({Damaged(kStyleName)}));
    Start();
    std::wstring text = ExpectFatalBoxAndDismiss(App());
    EXPECT_TRUE(IsFatalText(text, "Unable to load style 'CARBON'\\.")) << Narrow(text);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(1));
}

TEST_F(StyleTest, SeveralDamagedStylesAreNamedTogether) {
    ASSERT_NO_FATAL_FAILURE(WriteStyles({Damaged(kStyleName), Damaged(L"AMBER")}));
    Start();
    std::wstring text = ExpectFatalBoxAndDismiss(App());
    EXPECT_TRUE(IsFatalText(text, "Unable to load styles: AMBER, ?CARBON\\.")) << Narrow(text);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(1));
}

TEST_F(StyleTest, SecondStyleOfTheSameNameIsFatal) {
    // A copy of Carbon under another resource name records the same style name.
    Resource duplicate = carbon_;
    duplicate.name = L"DUPLICATE";
    ASSERT_NO_FATAL_FAILURE(WriteStyles({carbon_, duplicate}));
    Start();
    std::wstring text = ExpectFatalBoxAndDismiss(App());
    EXPECT_TRUE(IsFatalText(text, "Unable to load style '(CARBON|DUPLICATE)'\\.")) << Narrow(text);
    EXPECT_EQ(App().WaitForExit(), std::optional<DWORD>(1));
}

}  // namespace
}  // namespace e2e
