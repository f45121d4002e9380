// Texts beyond ASCII in the process's code page: fixed fields are cut only
// between characters, and names fold as the code page's letters do. One
// program, run once per code page (CMakeLists.txt sets the locale); each test
// takes the texts that code page can hold.
#include <clocale>
#include <cstdlib>

#include <functional>

#include "filters/get_filter_name_dlg.h"
#include "interface_fixture.h"
#include "resources/resource.h"
#include "support/probe_sheet.h"

#if defined(_WIN32)
extern "C" __declspec(dllimport) unsigned int __stdcall GetACP(void);
#else
#include <langinfo.h>
#endif

using fw::Ui;

namespace {

struct Texts {
    std::string name;       // as ZEVDT_TEST_CODE_PAGE names it
    std::string character;  // one multibyte character (Japanese), or empty
    std::string upper;      // a name in capitals beyond ASCII...
    std::string lower;      // ...and in small letters
};

Texts CurrentCodePage() {
    const std::string kanji932 = "\x93\xFA", fullWidthUpper932 = "\x82\x60\x82\x61",
                      fullWidthLower932 = "\x82\x81\x82\x82";
#if defined(_WIN32)
    switch (GetACP()) {
        case 1252:
            return {"1252", "", "\xC9T\xC9", "\xE9t\xE9"};  // ÉTÉ, été
        case 1250:
            return {"1250", "", "\xA3\xD3\x44\x8F", "\xB3\xF3\x64\x9F"};  // ŁÓDŹ, łódź
        case 932:
            return {"932", kanji932, fullWidthUpper932, fullWidthLower932};  // 日; ＡＢ, ａｂ
        default:
            return {std::to_string(GetACP()), "", "", ""};
    }
#else
    const std::string set = nl_langinfo(CODESET);
    if (set == "UTF-8")
        return {set, "\xE6\x97\xA5", "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"};
    if (set == "ISO-8859-1")
        return {set, "", "\xC9T\xC9", "\xE9t\xE9"};
    if (set == "EUC-JP")
        return {set, "\xC6\xFC", "\xA3\xC1\xA3\xC2", "\xA3\xE1\xA3\xE2"};
    return {set, "", "", ""};
#endif
}

class CodePage : public ifacetest::InterfaceTest {
  protected:
    void SetUp() override {
        InterfaceTest::SetUp();
#if !defined(_WIN32)
        const char* wanted = std::getenv("LC_ALL");
        ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr)
            << "the locale " << (wanted ? wanted : "(LC_ALL unset)")
            << " is missing: scripts/test generates it when run as root";
#endif
        texts = CurrentCodePage();
        const char* expected = std::getenv("ZEVDT_TEST_CODE_PAGE");
        if (expected) {
            ASSERT_EQ(texts.name, expected) << "the process did not start in the code page this run is for";
        }
    }
    void TearDown() override {
#if !defined(_WIN32)
        std::setlocale(LC_ALL, "C");
#endif
        InterfaceTest::TearDown();
    }

    // A text of whole characters that has one of them straddle byte `limit`,
    // and what a cut at `limit` keeps of it.
    struct Straddle {
        std::string text, kept;
    };
    Straddle StraddlingText(size_t limit) const {
        const std::string& c = texts.character;
        Straddle s;
        s.text = s.kept = std::string(limit % c.size() == 0 ? 1 : 0, 'a');
        const size_t fit = (limit - s.kept.size()) / c.size();
        for (size_t k = 0; k < fit; ++k) s.kept += c;
        s.text = s.kept + c + c;
        return s;
    }

    Texts texts;
};

TEST_F(CodePage, FixedFieldsAreCutBeforeTheCharacterThatWouldNotFit) {
    if (texts.character.empty())
        GTEST_SKIP() << "code page " << texts.name << " has no multibyte characters";
    const Straddle name = StraddlingText(255), cell = StraddlingText(255), login = StraddlingText(30);
    ASSERT_LT(name.kept.size(), 255u);
    ASSERT_LT(login.kept.size(), 30u);

    // Header and data items (255 bytes), the next item untouched.
    records.columnList.clear();
    records.AddColumn("T", name.text, 1);
    records.AddColumn("T", "B", 2);
    records.SetCells({cell.text.c_str(), "next"});
    control->info.loginFlags = ZEVDTAPI_LOGIN_USER;
    Publish();
    Init();
    // The login fields and the source password (30 bytes).
    fw::TestDriver driver;
    Login(driver, "", login.text, login.text);
    ASSERT_EQ(Open(driver), ZEVDT_OK);
    EXPECT_EQ(std::string(control->setInfo.userName), login.kept);
    EXPECT_EQ(std::string(control->setInfo.password), login.kept);
    EXPECT_EQ(std::string(ZevDTGetSourcePassword(handle)), login.kept);
    ASSERT_EQ(ZevDTSetSourcePassword(handle, login.text.c_str()), ZEVDT_OK);
    EXPECT_EQ(std::string(ZevDTGetSourcePassword(handle)), login.kept);

    ZevDTHeaderItem* header = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(ZevDTGetHeader(handle, &header, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(header[0].name), name.kept);
    EXPECT_STREQ(header[1].name, "B");
    control->rows = 1;
    control->columnsOfData = 2;
    ZevDTDataItem* items = nullptr;
    ASSERT_EQ(ZevDTGetData(handle, &items, &count), ZEVDT_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(std::string(items[0].text), cell.kept);
    EXPECT_STREQ(items[1].text, "next");
}

// Runs `probe` on the data filters page once it is up.
class ProbePage : public CPropertyPage {
  public:
    explicit ProbePage(std::function<void(CPropertyPage&)> probe)
        : CPropertyPage(IDD_SELECT_ATTR), probe_(std::move(probe)) {}

  protected:
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        probe_(*this);
        return TRUE;
    }

  private:
    std::function<void(CPropertyPage&)> probe_;
};

// Two filter names that differ only in the case of letters beyond ASCII are
// one name: the name dialog refuses the second.
TEST_F(CodePage, NamesFoldByTheCodePagesLetters) {
    if (texts.upper.empty())
        GTEST_SKIP() << "no test letters for code page " << texts.name;
    EXPECT_EQ(CString(texts.upper.c_str()).CompareNoCase(texts.lower.c_str()), 0);
    EXPECT_LT(CString(texts.lower.c_str()).CompareNoCase((texts.upper + "x").c_str()), 0);

    GetFilterNameDlg dlg;
    dlg.SetCurrentName("Current");
    dlg.m_existingNames.AddTail(CString("Default"));
    dlg.m_existingNames.AddTail(CString(texts.lower.c_str()));
    std::string clash;
    fw::TestDriver driver;
    driver.Then([&](Ui& ui) { ui.Type(IDC_NAME_EDIT, texts.upper); })
        .Then([](Ui& ui) { ui.Click(IDOK); })
        .Then([&](Ui& ui) {
            clash = ui.MessageText();
            ui.Answer(IDOK);
        })
        .Then([](Ui& ui) { ui.Click(IDCANCEL); });
    EXPECT_EQ(Run(driver, [&] { return static_cast<uint32_t>(dlg.DoModal()); }),
              static_cast<uint32_t>(IDCANCEL));
    EXPECT_EQ(clash, "A Filter with name " + texts.upper + " already exists.");

    // A list box finds an entry by its text in either case.
    CString found;
    ProbePage page([&](CPropertyPage& p) {
        CListBox list;
        list.m_hWnd = p.GetDlgItem(IDC_SELECT_LIST)->m_hWnd;
        list.AddString("Default");
        list.AddString(texts.upper.c_str());
        int at = list.FindStringExact(-1, texts.lower.c_str());
        if (at >= 0)
            list.GetText(at, found);
        list.m_hWnd = nullptr;
    });
    testsupport::RunAloneInAWizard(page);
    EXPECT_EQ(std::string(found), texts.upper);
}

}  // namespace
