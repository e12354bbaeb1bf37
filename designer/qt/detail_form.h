// TDetailF: which templates' lookup fields use the indexes of a template,
// two columns, and the indexes locked only through another one. Made,
// shown and freed by ShowIndexReferences, which the index screen's "More
// info" and the main window's delete call.
#pragma once

#include "templates/template_integrity.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class TDetailF : public QDialog {
public:
  explicit TDetailF(QWidget* Parent = nullptr);

  QTableWidget* StringGrid1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
};

extern const std::string IndirectIndexesText;

// "Unable to obtain this information." without references; else the
// dialog, modal. A failure reading the master is told in a box.
void ShowIndexReferences(const std::vector<TLookupReference>& References,
                         const std::vector<std::string>& IndirectNames, QWidget* Parent);
