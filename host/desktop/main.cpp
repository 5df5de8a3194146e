// ctb-host: the Qt desktop host. It stands for the suite's host application:
// the main window with the "Lançamento Contábil" command, which loads the
// module and calls IniProc; the module's screens open in it.
#include "contracts/reportdesigner.h"
#include "host/common/session.h"
#include "host/desktop/host.h"
#include "host/desktop/options.h"
#include "host/desktop/palette.h"
#include "host/desktop/tour.h"
#include "platform/data/datetime.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Fail(const std::string& text) {
    std::fprintf(stderr, "ctb-host: %s\n", text.c_str());
    return 2;
}

std::vector<std::string> Arguments(const QStringList& list) {
    std::vector<std::string> out;
    for (qsizetype i = 1; i < list.size(); ++i) out.push_back(list[i].toStdString());
    return out;
}

// The year the tour's filter asks for: the year of today, which --today fixed
// when the session started.
int TourYear() {
    int y = 0, m = 0, d = 0;
    DecodeDate(Date(), y, m, d);
    return y;
}

bool HasArgument(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

bool NonEmptyEnv(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

// The offscreen platform draws into memory only: an interactive session there
// would run unseen until killed.
bool Invisible(const std::string& platform) { return platform == "offscreen" || platform == "minimal"; }

std::string InvisibleRefusal(const std::string& platform) {
    return "a plataforma " + platform +
           " não mostra janela nenhuma: a sessão rodaria sem ninguém ver até ser\n"
           "interrompida. Para ver a janela sem tela use QT_QPA_PLATFORM=vnc (visualizador\n"
           "VNC na porta 5900); para imagens das telas use --screenshots PASTA\n"
           "(scripts/screenshots).";
}

// Qt would abort with its own message where there is no display: say it
// here, and how to see the screens anyway. The screenshots need no display.
bool ChoosePlatform(int argc, char** argv, std::string& error) {
    const bool screenshots = HasArgument(argc, argv, "--screenshots");
    if (const char* env = std::getenv("QT_QPA_PLATFORM"); env && Invisible(env) && !screenshots) {
        error = InvisibleRefusal(env);
        return false;
    }
    const bool platformGiven = NonEmptyEnv("QT_QPA_PLATFORM") || HasArgument(argc, argv, "-platform");
    if (platformGiven || NonEmptyEnv("DISPLAY") || NonEmptyEnv("WAYLAND_DISPLAY")) return true;
    if (screenshots) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    error =
        "não há tela aqui (DISPLAY e WAYLAND_DISPLAY vazios). Rode com QT_QPA_PLATFORM=vnc e\n"
        "conecte um visualizador VNC à porta 5900, ou gere as imagens das telas com\n"
        "--screenshots PASTA (scripts/screenshots).";
    return false;
}

// The offscreen platform warns about every window feature it lacks (raise,
// size hints): noise around the screenshots, which are the output that
// matters. Only Qt's critical messages are passed on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "ctb-host: %s\n", text.toLocal8Bit().constData());
}

// What the status bar shows: the address named by --server, or "local" for
// the server started here, whose port changes from run to run (the address is
// in the hint), so that screenshots stay the same.
std::string ServerLabel(const hostcommon::Session& session) {
    return session.OwnServer() ? "local" : session.ServerAddress();
}

int RunTour(QApplication& app, desk::DesktopHost& host, const desk::Options& o) {
    QDir().mkpath(QString::fromStdString(o.screenshots));
    desk::StepRunner runner;
    desk::AddScreenshotTour(runner, host, QString::fromStdString(o.screenshots), TourYear());
    runner.OnDone = [&] {
        if (runner.Failed() || !host.CloseAll()) host.RequestQuit();
        app.quit();
    };
    runner.Start();
    app.exec();
    if (runner.Failed()) return Fail("imagens das telas: " + runner.Failure());
    std::printf("ctb-host: imagens gravadas em %s\n", o.screenshots.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (desk::WantsHelp(argc, argv)) {
        std::printf("%s", desk::UsageText().c_str());
        return 0;
    }
    std::string error;
    if (!ChoosePlatform(argc, argv, error)) return Fail(error);
    if (HasArgument(argc, argv, "--screenshots")) {
        qInstallMessageHandler(QuietQtMessages);
        TReportDesignerDialog::SetPrintTime("09:00");  // the pictures stay the same
    }
    QApplication app(argc, argv);
    app.setFont(desk::BaseFont());
    app.setApplicationName("ctb-host");
    desk::Options o;
    if (!desk::ParseOptions(Arguments(QApplication::arguments()), o, error))
        return Fail(error + "\n\n" + desk::UsageText());
    if (o.screenshots.empty() && Invisible(QGuiApplication::platformName().toStdString()))
        return Fail(InvisibleRefusal(QGuiApplication::platformName().toStdString()));
    hostcommon::Session session;
    if (!session.Start(o, "ctb-host", error)) return Fail(error);

    desk::DesktopHost host;
    host.Start([&session] { session.OpenModule(); });
    host.Main()->SetStatus(QString::fromStdString(o.company), QString::fromStdString(o.operatorName),
                           QString::fromStdString(ServerLabel(session)),
                           QString::fromStdString(session.ServerAddress()));
    host.Main()->show();

    int status = 0;
    if (!o.screenshots.empty()) {
        status = RunTour(app, host, o);
    } else {
        if (o.open) QTimer::singleShot(0, host.Main(), [&host] { host.OpenEntryScreen(); });
        status = app.exec();
    }
    session.Stop();
    return status;
}
