// The desktop's report output: Visualizar opens a preview window over the
// listing (pages drawn by the report engine on demand, page navigation,
// zoom, print, save as PDF, spreadsheet or CSV); Imprimir opens the system's
// print dialog and prints the pages as the engine draws them.
#pragma once

#include "contracts/reportdesigner.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QResizeEvent;
class QScrollArea;
class QSpinBox;
class QWidget;

namespace desk {

class ReportPreview : public QDialog {
public:
    ReportPreview(std::shared_ptr<report::TReportDocument> doc, QWidget* parent);

    int Page() const { return page_; }  // 0-based
    void ShowPage(int page);
    double Zoom() const;  // 1.0 = the paper's size on screen
    // The page as shown (tests, screenshots).
    QImage PageImage() const { return image_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    std::shared_ptr<report::TReportDocument> doc_;
    int page_ = 0;
    QImage image_;
    QLabel* paper_;
    QScrollArea* scroll_;
    QSpinBox* pageBox_;
    QComboBox* zoomBox_;

    void render();
    void saveAs();
    void buildToolbar();
};

// Prints every page of `doc` through the print dialog (false when cancelled
// or the printer fails; the failure is shown).
bool PrintReport(report::TReportDocument& doc, QWidget* parent);
// Saves the pages (PDF) or the rows (.xlsx, .csv) by the file's extension;
// an error is shown in a box.
bool SaveReport(report::TReportDocument& doc, const QString& path, QWidget* parent);

class QtReportOutput : public IReportOutput {
public:
    explicit QtReportOutput(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
    void Show(const std::shared_ptr<report::TReportDocument>& doc, TReportAction action, TReportRun& run) override;

private:
    std::function<QWidget*()> parent_;
};

}  // namespace desk
