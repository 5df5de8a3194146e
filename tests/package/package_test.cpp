// The module frame: IniProc and the creation functions keep the entry screen
// and the history dialog single, the filter dialog one per entry screen, and
// give every print request its own listing form.
#include "entry/frmlancamentos.h"
#include "filter/frmlancfiltro.h"
#include "history/frmhistlanc.h"
#include "listing/frmlanclista.h"
#include "package/pkg_ctb11000.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"
#include "tests/package/module_env.h"

#include <gtest/gtest.h>

#include "contracts/zembra.h"

#include <arpa/inet.h>
#include <deque>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <functional>
#include <unistd.h>

namespace {

// Stands in for a host: a main window, and a pump whose every step runs the
// next queued action as a user action; with none left, a modal form is closed
// as by its cancel button. The screens' own commands are reached through
// their handlers, so these cases do not depend on which commands the entry
// screen enables in which state.
class ModuleTest : public ::testing::Test {
protected:
    std::deque<std::function<void()>> steps;

    void SetUp() override {
        std::string why;
        ASSERT_TRUE(module_env::Ready(&why)) << why;
        Application->Reset();
        HeadlessServices().Clear();
        Screen->Cursor = crDefault;
        TForm* frame = nullptr;
        Application->CreateForm(frame);
        frame->Name = "frmPrincipal";
        frame->FormStyle = fsMDIForm;
        Application->MainForm = frame;
        frame->Show();
        Application->Pump = [this] {
            if (steps.empty()) return false;
            auto step = steps.front();
            steps.pop_front();
            Dispatch(step);
            return true;
        };
    }
    void TearDown() override { Application->Reset(); }

    static int CountForms(const char* className) {
        int n = 0;
        for (int i = 0; i < Application->FormCount(); ++i)
            if (std::string(Application->Forms(i)->ClassName()) == className) ++n;
        return n;
    }
    static void CloseScreen() {
        Dispatch([] { frmLancamentos->Close(); });
    }
    static void OpenFilter() {
        Dispatch([] { CriaLancFiltro(); });
    }
    static void Print() {
        Dispatch([] { frmLancamentos->sbtImprimirClick(frmLancamentos->sbtImprimir); });
    }
};

TEST_F(ModuleTest, IniProcTwiceKeepsOneScreenAndRestoresIt) {
    IniProc();
    ASSERT_NE(frmLancamentos, nullptr);
    TfrmLancamentos* first = frmLancamentos;
    const int instance = first->Instance();
    EXPECT_TRUE(bostcriado);
    EXPECT_TRUE(first->Visible);
    first->WindowState = wsMinimized;

    IniProc();
    EXPECT_EQ(frmLancamentos, first);
    EXPECT_EQ(frmLancamentos->Instance(), instance);
    EXPECT_EQ(frmLancamentos->WindowState, wsNormal);
    EXPECT_EQ(CountForms("TfrmLancamentos"), 1);
    EXPECT_EQ(Screen->Cursor, crDefault);
}

TEST_F(ModuleTest, ClosingTheScreenLetsIniProcBuildANewOne) {
    IniProc();
    const int instance = frmLancamentos->Instance();
    CloseScreen();
    EXPECT_FALSE(bostcriado);
    EXPECT_EQ(frmLancamentos, nullptr) << "the destroyed screen stays reachable";
    EXPECT_EQ(CountForms("TfrmLancamentos"), 0);

    IniProc();
    ASSERT_NE(frmLancamentos, nullptr);
    EXPECT_EQ(frmLancamentos->Instance(), instance + 1);
    EXPECT_TRUE(bostcriado);
    EXPECT_FALSE(frmLancamentos->boFiltroCriado);
    EXPECT_EQ(CountForms("TfrmLancamentos"), 1);
}

TEST_F(ModuleTest, FilterDialogLivesAndDiesWithItsEntryScreen) {
    IniProc();
    int modalSeen = 0;
    auto cancelFilter = [&] {
        ASSERT_EQ(Application->TopModal(), frmLancFiltro);
        ++modalSeen;
        ASSERT_TRUE(frmLancFiltro->sbtCancel->UserClick());
    };
    steps = {cancelFilter};
    OpenFilter();
    ASSERT_NE(frmLancFiltro, nullptr);
    const int instance = frmLancFiltro->Instance();
    EXPECT_FALSE(frmLancFiltro->Visible) << "the closed dialog is hidden, not freed";
    EXPECT_TRUE(frmLancamentos->boFiltroCriado);
    // The flag as a front end reads it, through the published members.
    std::string value;
    auto* published = dynamic_cast<TPublishedMembers*>(static_cast<TForm*>(frmLancamentos));
    ASSERT_NE(published, nullptr);
    ASSERT_TRUE(published->ReadMember("boFiltroCriado", value));
    EXPECT_EQ(value, "true");

    steps = {cancelFilter};
    OpenFilter();
    EXPECT_EQ(modalSeen, 2);
    EXPECT_EQ(frmLancFiltro->Instance(), instance) << "the same dialog is shown again";
    EXPECT_EQ(CountForms("TfrmLancFiltro"), 1);

    CloseScreen();
    EXPECT_EQ(frmLancFiltro, nullptr);
    EXPECT_EQ(CountForms("TfrmLancFiltro"), 0);

    IniProc();
    steps = {cancelFilter};
    OpenFilter();
    ASSERT_NE(frmLancFiltro, nullptr);
    EXPECT_EQ(frmLancFiltro->Instance(), instance + 1);
}

TEST_F(ModuleTest, HistoryDialogIsCreatedAgainAfterEachClose) {
    IniProc();
    int instances[2] = {0, 0};
    for (int round = 0; round < 2; ++round) {
        steps = {[&, round] {
            ASSERT_EQ(Application->TopModal(), frmHistLanc);
            EXPECT_TRUE(boIdCriado);
            EXPECT_EQ(Screen->Cursor, crHourGlass);
            instances[round] = frmHistLanc->Instance();
            ASSERT_TRUE(frmHistLanc->sbtCancel->UserClick());
        }};
        Dispatch([] { CriaHistorico(); });
        EXPECT_FALSE(boIdCriado);
        EXPECT_FALSE(boFrmClose);
        EXPECT_EQ(Screen->Cursor, crDefault);
        EXPECT_EQ(CountForms("TfrmHistLanc"), 0) << "the closed dialog is freed";
        EXPECT_EQ(frmHistLanc, nullptr);
    }
    ASSERT_GT(instances[0], 0);
    EXPECT_EQ(instances[1], instances[0] + 1);
}

TEST_F(ModuleTest, HistoryDialogClosedWithoutInputIsCancelled) {
    // No queued input: the dialog is closed as by its cancel button.
    IniProc();
    Dispatch([] { CriaHistorico(); });
    EXPECT_FALSE(boIdCriado);
    EXPECT_EQ(Application->TopModal(), nullptr);
    EXPECT_EQ(CountForms("TfrmHistLanc"), 0);
}

TEST_F(ModuleTest, EachPrintRequestCreatesANewListingForm) {
    IniProc();
    std::vector<int> seen;
    auto closeListing = [&] {
        ASSERT_EQ(Application->TopModal(), frmLancLista);
        EXPECT_EQ(frmLancLista->lblCodTela->Caption, "CTB11020");
        seen.push_back(frmLancLista->Instance());
        ASSERT_TRUE(frmLancLista->sbtFechar->UserClick());
    };
    for (int i = 0; i < 3; ++i) {
        steps = {closeListing};
        Print();
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], seen[0] + 1);
    EXPECT_EQ(seen[2], seen[1] + 1);
    EXPECT_EQ(CountForms("TfrmLancLista"), 0) << "each closed listing is freed";
    EXPECT_EQ(CountForms("TfrmLancamentos"), 1);
}

TEST_F(ModuleTest, DestroyingEveryFormLeavesNoDanglingScreen) {
    // A host that destroys all its forms (shutting down, or a test's reset)
    // must leave the module able to open again.
    IniProc();
    steps = {[] { ASSERT_TRUE(frmLancFiltro->sbtCancel->UserClick()); }};
    OpenFilter();
    Application->Reset();
    EXPECT_EQ(frmLancamentos, nullptr);
    EXPECT_EQ(frmLancFiltro, nullptr);
    EXPECT_FALSE(bostcriado);
    IniProc();
    ASSERT_NE(frmLancamentos, nullptr);
    EXPECT_TRUE(frmLancamentos->Visible);
}

// A port on loopback where nothing listens (bound once, then released).
int ClosedPort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

TEST_F(ModuleTest, ScreenThatCannotReachTheServerFailsCleanly) {
    const int port = Zembra::WebPort();
    Zembra::SetWebPort(ClosedPort());
    bool normal = Dispatch([] { IniProc(); });
    Zembra::SetWebPort(port);
    EXPECT_FALSE(normal);
    EXPECT_TRUE(HeadlessServices().HasUncheckedMessage()) << "the failure reaches the host's error box";
    EXPECT_FALSE(bostcriado);
    EXPECT_EQ(frmLancamentos, nullptr);
    EXPECT_EQ(CountForms("TfrmLancamentos"), 0);
    EXPECT_EQ(Screen->Cursor, crDefault) << "no hourglass left behind";

    IniProc();  // with the server back, the screen opens
    ASSERT_NE(frmLancamentos, nullptr);
    EXPECT_TRUE(bostcriado);
}

TEST(ModuleExport, IniProcIsExportedWithItsPlainName) {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string dir(exe, static_cast<std::size_t>(n));
    dir = dir.substr(0, dir.rfind('/'));
    void* module = dlopen((dir + "/libctb11000.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr) << dlerror();
    void* plain = dlsym(module, "IniProc");
    EXPECT_EQ(plain, reinterpret_cast<void*>(&IniProc));
    EXPECT_EQ(dlsym(module, "_Z7IniProcv"), nullptr);
    dlclose(module);
}

}  // namespace
