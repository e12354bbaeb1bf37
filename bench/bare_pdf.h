// The floor the print benchmarks measure against: a QPrinter writing a PDF
// with the print job's page (Letter, quarter-inch margins, high resolution)
// and the fixed-pitch face it prints in, for QPainter to draw finished lines.
#pragma once

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>

inline void SetUpBarePdf(QPrinter& Printer, const QString& File) {
  Printer.setOutputFormat(QPrinter::PdfFormat);
  Printer.setOutputFileName(File);
  Printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                    QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
}

inline QFont BarePrintFont(int PixelHeight, bool Bold) {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(PixelHeight);
  font.setBold(Bold);
  return font;
}
