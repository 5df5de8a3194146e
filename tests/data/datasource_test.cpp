// What controls hear through a data source, and what they do not while the
// data set's controls are disabled.
#include "platform/data/datasource.h"
#include "tests/data/fixtures.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A control that records what it is told; its UpdateData writes pending text.
class RecordingLink : public TDataLink {
public:
    std::string log;
    std::string pendingText;
    TField* focusable = nullptr;
    bool focused = false;

    void ActiveChanged() override { log += "active "; }
    void DataSetChanged() override { log += "changed "; }
    void DataSetScrolled() override { log += "scrolled "; }
    void RecordChanged(TField* f) override { log += "record:" + (f ? f->FieldName() : std::string("-")) + " "; }
    void StateChanged() override { log += std::string("state:") + DataSetStateName(DataSet()->State()) + " "; }
    void UpdateData() override {
        log += "update ";
        if (!pendingText.empty()) {
            DataSet()->FieldByName("CDCONTCTBL")->SetAsString(pendingText);
            pendingText.clear();
        }
    }
    bool FocusControl(TField* f) override {
        if (f != focusable) return false;
        focused = true;
        return true;
    }
};

class Links : public ::testing::Test {
protected:
    TComponent form;
    TClientDataSet* cds = form.Create<TClientDataSet>();
    TDataSource* dts = form.Create<TDataSource>();
    RecordingLink link;

    void SetUp() override {
        cds->Name = "cdsLancCont";
        DefineLineFields(*cds);
        cds->SetData(LinePacket({{"01", "000000000001", "00001", 100}, {"01", "000000000001", "00002", -100}}));
        dts->SetDataSet(cds);
        link.SetDataSource(dts);
        link.log.clear();
    }
};

TEST_F(Links, ControlsHearStateScrollsAndFieldChanges) {
    int stateChanges = 0;
    dts->OnStateChange = [&](TDataSource* s) {
        EXPECT_EQ(s, dts);
        ++stateChanges;
    };
    cds->Next();
    EXPECT_EQ(link.log, "scrolled ");
    link.log.clear();
    EXPECT_TRUE(link.Edit());
    cds->FieldByName("VRLANCAMENT")->SetAsFloat(5);
    cds->Post();
    EXPECT_EQ(link.log, "state:dsEdit record:VRLANCAMENT update state:dsBrowse changed ");
    EXPECT_EQ(stateChanges, 2);
    EXPECT_EQ(dts->State(), dsBrowse);
}

TEST_F(Links, UpdateDataWritesTheEditorTextBeforeBeforePostRuns) {
    std::string seenByBeforePost;
    cds->BeforePost = [&](TDataSet* ds) { seenByBeforePost = ds->FieldByName("CDCONTCTBL")->AsString(); };
    cds->Edit();
    link.pendingText = "2220100001";
    cds->DisableControls();  // the typed text is data: it is still written
    cds->Post();
    cds->EnableControls();
    EXPECT_EQ(seenByBeforePost, "2220100001");
    EXPECT_EQ(cds->FieldByName("CDCONTCTBL")->AsString(), "2220100001");
}

TEST_F(Links, DisabledControlsHearNothingUntilTheLastEnable) {
    cds->DisableControls();
    {
        TControlsDisabled nested(cds);
        EXPECT_TRUE(cds->ControlsDisabled());
        for (cds->First(); !cds->Eof(); cds->Next()) {
            cds->Edit();
            cds->FieldByName("VRLANCAMENT")->SetAsFloat(cds->FieldByName("VRLANCAMENT")->AsFloat() * 2);
            cds->Post();
        }
    }
    EXPECT_TRUE(cds->ControlsDisabled());
    EXPECT_EQ(link.log, "update update ");
    cds->EnableControls();
    EXPECT_FALSE(cds->ControlsDisabled());
    EXPECT_EQ(link.log, "update update changed ");
    cds->EnableControls();  // unbalanced: ignored
    EXPECT_FALSE(cds->ControlsDisabled());
    EXPECT_EQ(Render(*cds), "00001:200 00002:-200");
}

TEST_F(Links, FieldFocusControlReachesTheLinkThatShowsIt) {
    RecordingLink other;
    other.SetDataSource(dts);
    link.focusable = cds->FieldByName("VRLANCAMENT");
    cds->FieldByName("CDCONTCTBL")->FocusControl();
    EXPECT_FALSE(link.focused);
    cds->FieldByName("VRLANCAMENT")->FocusControl();
    EXPECT_TRUE(link.focused);
}

TEST_F(Links, EitherSideMayBeDestroyedFirst) {
    auto ds = std::make_unique<TClientDataSet>();
    DefineLineFields(*ds);
    ds->CreateDataSet();
    auto src = std::make_unique<TDataSource>();
    RecordingLink l;
    src->SetDataSet(ds.get());
    l.SetDataSource(src.get());
    ds.reset();
    EXPECT_EQ(src->DataSet(), nullptr);
    EXPECT_FALSE(l.Active());
    src.reset();
    EXPECT_EQ(l.DataSource(), nullptr);
    {
        RecordingLink shortLived;
        shortLived.SetDataSource(dts);
    }
    cds->Next();  // the destroyed link is not called
    EXPECT_EQ(link.log, "scrolled ");
}

}  // namespace
