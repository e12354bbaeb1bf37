#include "mainwin/mtdesk_form.h"

#include "platform/qt/widget_text.h"

#include <QLabel>
#include <QStatusBar>

TMtdeskF* MtdeskF = nullptr;

namespace {

constexpr std::array<int, 2> StatusPanelWidths = {385, 40};

}  // namespace

TMtdeskF::TMtdeskF(QWidget* parent) : QMainWindow(parent), StatusBar1(new QStatusBar(this)) {
  setWindowTitle(QStringLiteral("Corvenstead Matterdesk"));
  setStatusBar(StatusBar1);
  StatusBar1->setSizeGripEnabled(false);
  for (size_t i = 0; i < statusPanels_.size(); ++i) {
    statusPanels_[i] = new QLabel(StatusBar1);
    statusPanels_[i]->setMinimumWidth(StatusPanelWidths[i]);
    // The first panel takes what room is left, the second keeps its width.
    StatusBar1->addWidget(statusPanels_[i], i == 0 ? 1 : 0);
  }
}

bool TMtdeskF::FormCreate() { return MtdeskFormCreate(*this); }

std::string TMtdeskF::StatusPanelText(int I) const { return StoredText(statusPanels_.at(size_t(I))->text()); }

void TMtdeskF::SetStatusPanels(const std::string& DataLocation, const std::string& WorkStation) {
  statusPanels_[0]->setText(WidgetText(DataLocation));
  statusPanels_[1]->setText(WidgetText(WorkStation));
}
