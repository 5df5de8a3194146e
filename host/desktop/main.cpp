// ctb-host: the Qt desktop host. It stands for the suite's host application:
// the main window with the "Lançamento Contábil" command, which loads the
// module and calls IniProc; the module's screens open in it.
#include "host/desktop/host.h"
#include "host/desktop/options.h"
#include "host/desktop/palette.h"
#include "host/desktop/session.h"
#include "host/desktop/tour.h"
#include "platform/data/datetime.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

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

// The year the tour's filter asks for: the year of the fixed date, else today's.
int TourYear(const desk::Options& o) {
    if (!o.today.empty()) return std::atoi(o.today.substr(0, 4).c_str());
    int y = 0, m = 0, d = 0;
    DecodeDate(Date(), y, m, d);
    return y;
}

int RunTour(QApplication& app, desk::DesktopHost& host, const desk::Options& o) {
    QDir().mkpath(QString::fromStdString(o.screenshots));
    desk::StepRunner runner;
    desk::AddScreenshotTour(runner, host, QString::fromStdString(o.screenshots), TourYear(o));
    runner.OnDone = [&] {
        if (runner.Failed() || !host.CloseAll()) host.RequestQuit();
        app.quit();
    };
    runner.Start();
    app.exec();
    if (runner.Failed()) return Fail("screenshot tour: " + runner.Failure());
    std::printf("ctb-host: screenshots written to %s\n", o.screenshots.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(desk::BaseFont());
    app.setApplicationName("ctb-host");
    desk::Options o;
    std::string error;
    if (!desk::ParseOptions(Arguments(QApplication::arguments()), o, error))
        return Fail(error + "\n\n" + desk::UsageText());
    if (o.help) {
        std::printf("%s", desk::UsageText().c_str());
        return 0;
    }
    desk::Session session;
    if (!session.Start(o, error)) return Fail(error);

    desk::DesktopHost host;
    host.Start([&session] { session.OpenModule(); });
    host.Main()->SetStatus(QString::fromStdString(o.company), QString::fromStdString(o.operatorName),
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
