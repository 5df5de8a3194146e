#include "host/desktop/reportpreview.h"

#include "platform/report/document.h"
#include "platform/report/export.h"
#include "platform/report/report_error.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace desk {
namespace {

constexpr double kScreenDpi = 96;

QImage toImage(const report::TPageImage& img) {
    QImage q(img.pixels.data(), img.width, img.height, img.stride, QImage::Format_ARGB32_Premultiplied);
    return q.copy();
}

void showError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erro"), text, QMessageBox::NoButton, parent);
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
}

QToolButton* tool(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

}  // namespace

ReportPreview::ReportPreview(std::shared_ptr<report::TReportDocument> doc, QWidget* parent)
    : QDialog(parent), doc_(std::move(doc)) {
    setObjectName("dlgVisualizarRelatorio");
    setWindowTitle(QString::fromStdString(doc_->Definition().Title) + QStringLiteral(" — Visualizar"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    paper_ = new QLabel;
    paper_->setObjectName("pagina");
    paper_->setFrameShape(QFrame::Box);
    scroll_ = new QScrollArea;
    scroll_->setWidget(paper_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageBox_ = new QSpinBox;
    zoomBox_ = new QComboBox;
    buildToolbar();
    box->addWidget(scroll_, 1);
    resize(1000, 760);
    ShowPage(0);
}

void ReportPreview::buildToolbar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    QToolButton* first = tool(bar, QStyle::SP_MediaSkipBackward, QStringLiteral("Primeira página"));
    QToolButton* prev = tool(bar, QStyle::SP_MediaSeekBackward, QStringLiteral("Página anterior"));
    QToolButton* next = tool(bar, QStyle::SP_MediaSeekForward, QStringLiteral("Próxima página"));
    QToolButton* last = tool(bar, QStyle::SP_MediaSkipForward, QStringLiteral("Última página"));
    pageBox_->setRange(1, doc_->PageCount());
    pageBox_->setObjectName("spnPagina");
    auto* of = new QLabel(QStringLiteral("de %1").arg(doc_->PageCount()), bar);
    zoomBox_->setObjectName("cbbZoom");
    zoomBox_->addItem(QStringLiteral("Largura da página"), 0.0);
    for (int z : {50, 75, 100, 125, 150, 200}) zoomBox_->addItem(QStringLiteral("%1%").arg(z), z / 100.0);
    auto* print = new QPushButton(QStringLiteral("Imprimir..."), bar);
    auto* save = new QPushButton(QStringLiteral("Salvar como..."), bar);
    auto* close = new QPushButton(QStringLiteral("Fechar"), bar);
    for (QWidget* w : std::initializer_list<QWidget*>{first, prev, pageBox_, of, next, last}) row->addWidget(w);
    row->addSpacing(16);
    row->addWidget(new QLabel(QStringLiteral("Zoom"), bar));
    row->addWidget(zoomBox_);
    row->addStretch(1);
    row->addWidget(new QLabel(QStringLiteral("%1 linhas")
                                  .arg(QLocale(QLocale::Portuguese, QLocale::Brazil)
                                           .toString(static_cast<qlonglong>(doc_->Rows().RowCount()))),
                              bar));
    row->addSpacing(12);
    row->addWidget(print);
    row->addWidget(save);
    row->addWidget(close);
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);

    connect(first, &QToolButton::clicked, this, [this] { ShowPage(0); });
    connect(prev, &QToolButton::clicked, this, [this] { ShowPage(page_ - 1); });
    connect(next, &QToolButton::clicked, this, [this] { ShowPage(page_ + 1); });
    connect(last, &QToolButton::clicked, this, [this] { ShowPage(doc_->PageCount() - 1); });
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int v) { ShowPage(v - 1); });
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, [this] { render(); });
    connect(print, &QPushButton::clicked, this, [this] { PrintReport(*doc_, this); });
    connect(save, &QPushButton::clicked, this, [this] { saveAs(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

double ReportPreview::Zoom() const {
    const double z = zoomBox_->currentData().toDouble();
    if (z > 0) return z;
    const double width = scroll_->viewport()->width() - 24;
    return std::clamp(width / (doc_->PageWidth() * kScreenDpi / 72.0), 0.25, 4.0);
}

void ReportPreview::ShowPage(int page) {
    page = std::clamp(page, 0, doc_->PageCount() - 1);
    const bool changed = page != page_ || image_.isNull();
    page_ = page;
    if (pageBox_->value() != page + 1) {
        QSignalBlocker hold(pageBox_);
        pageBox_->setValue(page + 1);
    }
    if (changed) render();
}

// "Largura da página" follows the window's width.
// The viewport has its new width only once the layout has run: the page is
// drawn again right after.
void ReportPreview::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (zoomBox_->currentData().toDouble() == 0 && e->size().width() != e->oldSize().width())
        QTimer::singleShot(0, this, [this] { render(); });
}

void ReportPreview::render() {
    try {
        const double dpr = devicePixelRatioF();
        image_ = toImage(doc_->RenderPage(page_, kScreenDpi * Zoom() * dpr));
        image_.setDevicePixelRatio(dpr);
    } catch (const report::EReportError& e) {
        showError(this, QString::fromStdString(e.what()));
        return;
    }
    paper_->setPixmap(QPixmap::fromImage(image_));
    paper_->resize(paper_->pixmap().deviceIndependentSize().toSize());
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::saveAs() {
    const QString base = QString::fromStdString(doc_->Definition().Code);
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Salvar relatório"), base + ".pdf",
        QStringLiteral("Documento PDF (*.pdf);;Planilha Excel (*.xlsx);;Texto separado por ponto e vírgula (*.csv)"),
        &chosen);
    if (path.isEmpty()) return;
    QString file = path;
    if (!file.contains('.')) file += chosen.contains("xlsx") ? ".xlsx" : chosen.contains("csv") ? ".csv" : ".pdf";
    SaveReport(*doc_, file, this);
}

bool SaveReport(report::TReportDocument& doc, const QString& path, QWidget* parent) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const std::string p = path.toStdString();
        if (path.endsWith(".xlsx", Qt::CaseInsensitive)) report::WriteXlsx(doc.Definition(), doc.Rows(), p);
        else if (path.endsWith(".csv", Qt::CaseInsensitive)) report::WriteCsv(doc.Definition(), doc.Rows(), p);
        else doc.WritePdf(p);
    } catch (const report::EReportError& e) {
        QApplication::restoreOverrideCursor();
        showError(parent, QString::fromStdString(e.what()));
        return false;
    }
    QApplication::restoreOverrideCursor();
    return true;
}

bool PrintReport(report::TReportDocument& doc, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(doc.Definition().Title));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(doc.PageWidth() > doc.PageHeight() ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setFromTo(1, doc.PageCount());
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Imprimir ") + QString::fromStdString(doc.Definition().Title));
    dialog.setMinMax(1, doc.PageCount());
    if (dialog.exec() != QDialog::Accepted) return false;
    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? printer.toPage() : doc.PageCount();
    const double dpi = std::min(300, printer.resolution());
    QPainter painter;
    if (!painter.begin(&printer)) {
        showError(parent, QStringLiteral("Não foi possível iniciar a impressão."));
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int page = from; page <= to; ++page) {
        if (page > from) printer.newPage();
        const QImage img = toImage(doc.RenderPage(page - 1, dpi));
        painter.drawImage(printer.pageLayout().fullRectPixels(printer.resolution()), img);
    }
    painter.end();
    QApplication::restoreOverrideCursor();
    return true;
}

void QtReportOutput::Show(const std::shared_ptr<report::TReportDocument>& doc, TReportAction action, TReportRun&) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent && parent_) parent = parent_();
    if (action == raPreview) {
        ReportPreview preview(doc, parent);
        preview.exec();
        return;
    }
    PrintReport(*doc, parent);
}

}  // namespace desk
