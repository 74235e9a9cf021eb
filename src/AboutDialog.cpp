#include "AboutDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Program.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About"));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  auto* layout = new QVBoxLayout(this);
  ProgramNameLabel = new QLabel(QString::fromLatin1(ProgramName), this);
  ProgramNameLabel->setObjectName(QStringLiteral("ProgramNameLabel"));
  QFont big = font;
  big.setPixelSize(20);
  big.setBold(true);
  ProgramNameLabel->setFont(big);
  ProgramVersionLabel = new QLabel(QString::fromLatin1(ProgramVersionLine), this);
  ProgramVersionLabel->setObjectName(QStringLiteral("ProgramVersionLabel"));
  DescriptionLabel = new QLabel(QString::fromLatin1(ProgramDescription), this);
  DescriptionLabel->setObjectName(QStringLiteral("DescriptionLabel"));
  auto* okay = new QPushButton(QStringLiteral("&Okay"), this);
  okay->setObjectName(QStringLiteral("OkayButton"));
  okay->setDefault(true);
  connect(okay, &QPushButton::clicked, this, &QDialog::accept);
  for (QLabel* label : {ProgramNameLabel, ProgramVersionLabel, DescriptionLabel}) {
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  layout->addWidget(okay, 0, Qt::AlignCenter);
  setFixedSize(300, 160);
}
