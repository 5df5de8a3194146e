// Text controls as a person types into them: masks, dates, numbers, limits,
// key events that swallow characters; radio buttons checked from code.
#include "platform/data/datetime.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/stdctrls.h"

#include <gtest/gtest.h>

namespace {

class Host : public TForm {
public:
    explicit Host(TComponent* owner) : TForm(owner) {}
    template <class T> T* add(const std::string& name) {
        T* c = Create<T>();
        c->Name = name;
        c->SetParent(this);
        return c;
    }
};

class EditTest : public ::testing::Test {
protected:
    Host* f = nullptr;
    void SetUp() override {
        Application->CreateForm(f);
        f->Show();
    }
    void TearDown() override { Application->Reset(); }
};

// ---- masked texts ----------------------------------------------------------

struct MaskCase {
    const char* name;
    const char* mask;
    const char* typed;
    const char* text;      // Text after typing
    const char* editText;  // what the user sees
};

// Test names, not bytes, in the test listing.
void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

class MaskTyping : public EditTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskTyping, TypedKeyByKeyGivesTheSavedTextAndTheShownText) {
    const MaskCase& c = GetParam();
    auto* med = f->add<TMaskEdit>("med");
    med->SetEditMask(c.mask);
    ASSERT_TRUE(med->UserType(c.typed));
    EXPECT_EQ(med->Text(), c.text);
    EXPECT_EQ(med->EditText(), c.editText);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskTyping,
    ::testing::Values(
        MaskCase{"AccountWithoutLiteralsPartlyFilled", "9.9.9.99.99999;0;_", "1101", "1101", "1.1.0.1_._____"},
        MaskCase{"AccountFull", "9.9.9.99.99999;0;_", "1101200001", "1101200001", "1.1.0.12.00001"},
        MaskCase{"LettersRefusedInDigitPositions", "9999;1; ", "1a2b", "12", "12  "},
        MaskCase{"LiteralsKeptWhenSaved", "!99/99/0000;1; ", "01022024", "01/02/2024", "01/02/2024"},
        MaskCase{"TypedSeparatorAtItsPlaceStepsOverIt", "!99/99/0000;1; ", "12/03/2024", "12/03/2024", "12/03/2024"},
        MaskCase{"SeparatorTypedBeforeItsPlaceIsRefused", "!99/99/0000;1; ", "1/", "1", "1 /  /    "},
        MaskCase{"NoTrailingBlanksNorLiterals", "!99/99/0000;1; ", "0102", "01/02", "01/02/    "},
        MaskCase{"UpperCaseFlag", ">LLL;0;_", "abç", "ABÇ", "ABÇ"},
        MaskCase{"DocumentDigitsOnly", "999999999999;0; ", "12-34", "1234", "1234        "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, MaskedTextSetFromCodeAcceptsTheSavedFormWithOrWithoutLiterals) {
    auto* med = f->add<TMaskEdit>("med");
    med->SetEditMask("9.9.9.99.99999;0;_");
    med->SetText("1101200001");
    EXPECT_EQ(med->EditText(), "1.1.0.12.00001");
    med->SetText("1.1.0.12.00001");
    EXPECT_EQ(med->Text(), "1101200001");
    med->SetText("");
    EXPECT_EQ(med->Text(), "");
    EXPECT_EQ(FormatMaskText("999.999.999-99;0;_", "12345678901"), "123.456.789-01");
}

TEST_F(EditTest, TypingOverASelectionThatTheMaskRefusesKeepsTheText) {
    auto* med = f->add<TMaskEdit>("med");
    med->SetEditMask("9999;1; ");
    med->SetText("1234");
    int changes = 0;
    med->OnChange = [&](TObject*) { ++changes; };
    med->UserType("x");
    EXPECT_EQ(med->Text(), "1234");
    EXPECT_EQ(changes, 0);
}

// ---- dates -----------------------------------------------------------------

TEST_F(EditTest, DateEditReadsTypedDatesAndEmptyTextAsNoDate) {
    auto* dep = f->add<TDateEditPlus>("dep");
    EXPECT_EQ(dep->Date(), 0);
    EXPECT_NO_THROW(dep->CheckValidDate());

    dep->UserType("15032024");
    TDateTime expected = 0;
    ASSERT_TRUE(EncodeDate(2024, 3, 15, expected));
    EXPECT_EQ(dep->Date(), expected);
    EXPECT_EQ(dep->Text(), "15/03/2024");

    dep->SetDate(0);
    EXPECT_EQ(dep->Text(), "");
    dep->SetDate(expected);
    EXPECT_EQ(dep->Text(), "15/03/2024");
}

TEST_F(EditTest, DateEditRefusesAnImpossibleOrHalfTypedDateWithAClearMessage) {
    auto* dep = f->add<TDateEditPlus>("dep");
    for (const char* typed : {"31022024", "1503"}) {
        dep->UserType(typed);
        EXPECT_EQ(dep->Date(), 0) << typed;
        try {
            dep->CheckValidDate();
            ADD_FAILURE() << typed << " passed";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Data inválida.");
        }
    }
}

// ---- numbers ---------------------------------------------------------------

TEST_F(EditTest, NumberEditFormatsWithBrazilianSeparatorsAndFiltersTyping) {
    auto* nde = f->add<TNumberEdit>("nde");
    auto* other = f->add<TEdit>("other");
    nde->Thousands = true;
    nde->SetNumber(1234.5);
    EXPECT_EQ(nde->Text(), "1.234,50");
    EXPECT_DOUBLE_EQ(nde->Number(), 1234.5);

    nde->UserType("12a,5x");
    EXPECT_EQ(nde->Text(), "12,5");
    EXPECT_DOUBLE_EQ(nde->Number(), 12.5);
    other->SetFocus();  // leaving reformats
    EXPECT_EQ(nde->Text(), "12,50");
}

TEST_F(EditTest, NumberThatDoesNotReadKeepsTheFocusInsteadOfBecomingZero) {
    auto* nde = f->add<TNumberEdit>("nde");
    auto* other = f->add<TEdit>("other");
    nde->UserType("1,2,3");
    EXPECT_FALSE(Dispatch([&] { other->SetFocus(); }));
    EXPECT_TRUE(nde->Focused());
}

// ---- plain edits, memo ------------------------------------------------------

TEST_F(EditTest, KeyPressHandlerCanSwallowOrChangeCharactersAndKeyDownSeesEveryKey) {
    auto* edt = f->add<TEdit>("edt");
    int keyDowns = 0;
    edt->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        ++keyDowns;
        key = 0;  // swallowing the key-down does not stop the character
    };
    edt->OnKeyPress = [](TObject*, char& k) {
        if (k == '-') k = 0;
        else if (k >= 'a' && k <= 'z') k = static_cast<char>(k - 'a' + 'A');
    };
    edt->UserType("ab-c");
    EXPECT_EQ(edt->Text(), "ABC");
    EXPECT_EQ(keyDowns, 4);
}

TEST_F(EditTest, MaxLengthRefusesTypingBeyondItButTypingOverTheSelectionFits) {
    auto* edt = f->add<TEdit>("edt");
    edt->MaxLength = 2;
    edt->UserType("123");
    EXPECT_EQ(edt->Text(), "12");
    edt->UserType("9");  // the whole text is selected and replaced
    EXPECT_EQ(edt->Text(), "9");

    auto* mem = f->add<TMemo>("mem");
    mem->MaxLength = 5;
    mem->UserType("ab");
    mem->UserKey(VK_RETURN);
    mem->UserTypeKeys("cdef");
    EXPECT_EQ(mem->Text(), "ab\ncd");
    EXPECT_EQ(mem->Lines(), (std::vector<std::string>{"ab", "cd"}));
}

TEST_F(EditTest, ChangeRunsOncePerAcceptedKeyAndForTextSetFromCode) {
    auto* edt = f->add<TEdit>("edt");
    std::vector<std::string> seen;
    edt->OnChange = [&](TObject*) { seen.push_back(edt->Text()); };
    edt->SetText("x");
    edt->SetText("x");  // unchanged: no event
    edt->UserType("ab");
    EXPECT_EQ(seen, (std::vector<std::string>{"x", "a", "ab"}));
    edt->ReadOnly = true;
    edt->UserType("z");
    EXPECT_EQ(edt->Text(), "ab");
}

TEST_F(EditTest, DisabledControlRefusesUserInput) {
    auto* edt = f->add<TEdit>("edt");
    edt->Enabled = false;
    EXPECT_FALSE(edt->UserType("a"));
    EXPECT_FALSE(edt->UserKey(VK_DELETE));
    EXPECT_EQ(edt->Text(), "");
}

// ---- radio buttons, combo box ---------------------------------------------

TEST_F(EditTest, RadioCheckedFromCodeClicksOnceAndUnchecksItsSiblingsOnly) {
    auto* grb1 = f->add<TGroupBox>("grb1");
    auto* grb2 = f->add<TGroupBox>("grb2");
    auto radio = [&](const char* n, TWinControl* p) {
        auto* r = f->Create<TRadioButton>();
        r->Name = n;
        r->SetParent(p);
        return r;
    };
    auto* rbtTodos = radio("rbtTodos", grb1);
    auto* rbtLista = radio("rbtLista", grb1);
    auto* rbtOther = radio("rbtOther", grb2);
    int clicks = 0;
    rbtLista->OnClick = [&](TObject*) { ++clicks; };
    rbtTodos->SetChecked(true);
    rbtOther->SetChecked(true);

    rbtLista->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(rbtTodos->Checked());
    EXPECT_TRUE(rbtOther->Checked());  // another parent, another group
    rbtLista->SetChecked(true);        // already checked: no click
    rbtLista->UserClick();
    EXPECT_EQ(clicks, 1);
    rbtTodos->UserClick();
    EXPECT_TRUE(rbtTodos->Checked());
    EXPECT_FALSE(rbtLista->Checked());
}

TEST_F(EditTest, ComboChoiceByTheUserRunsChangeButItemIndexFromCodeDoesNot) {
    auto* cbb = f->add<TComboBox>("cbb");
    cbb->Items = {"Analítico", "Sintético"};
    int changes = 0;
    cbb->OnChange = [&](TObject*) { ++changes; };
    cbb->SetItemIndex(1);
    EXPECT_EQ(cbb->Text(), "Sintético");
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(cbb->UserSelectText("Analítico"));
    EXPECT_EQ(cbb->ItemIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(cbb->UserSelect(5));
}

}  // namespace
