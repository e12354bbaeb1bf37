// The lookup form driven as a person defines a template lookup: kind "M",
// the target template clicked in the list, its first field as the dropdown
// field, saved.
#pragma once

#include "designer/qt/field_tile.h"
#include "designer/qt/lookup_form.h"
#include "testing/dialog_driver.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

inline void ChooseTemplateLookup(TLKUPF& Form, const std::string& Target) {
  ClickIndicator(Form.RadioGroup1->Item(TLKUPF::KindM));
  QTest::mouseClick(Form.BitBtnSave, Qt::LeftButton);
  QListWidgetItem* target = Form.ListBoxTables->findItems(QString::fromStdString(Target), Qt::MatchExactly).value(0);
  ASSERT_TRUE(target);
  QTest::mouseClick(Form.ListBoxTables->viewport(), Qt::LeftButton, Qt::NoModifier,
                    Form.ListBoxTables->visualItemRect(target).center());
  ASSERT_EQ(Form.SelectedTemplateName(), Target);
  Form.ActiveControlChange(Form.TemplateTiles[0]);
  Form.BitBtnDropDownClick();
  QTest::mouseClick(Form.BitBtnSave, Qt::LeftButton);
}
