#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QUrl>

#include "Error/Error.h"
#include "ModalAnswerer.h"
#include "Utilities.h"
#include "ValueParsing/ValueParsing.h"

namespace {

struct TBoxSeen {
  QString Title, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons Buttons;
};

// Answers the next message box with `button` and records what it showed.
class BoxAnswer {
 public:
  explicit BoxAnswer(const QString& button)
      : Answerer([this, button](QWidget* w) {
          if (auto* box = qobject_cast<QMessageBox*>(w)) {
            Seen.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            Modality = box->windowModality();
          }
          if (button.isEmpty())
            w->close();
          else
            TModalAnswerer::ClickButton(w, button);
        }) {}
  std::vector<TBoxSeen> Seen;
  Qt::WindowModality Modality = Qt::NonModal;
  TModalAnswerer Answerer;
};

}  // namespace

TEST(MessageBoxes, CaptionsIconsAndButtons) {
  const struct {
    void (*show)(const QString&);
    const char* caption;
    QMessageBox::Icon icon;
  } boxes[] = {{ShowInfo, "Message", QMessageBox::Information},
               {ShowWarning, "Warning", QMessageBox::Warning},
               {ShowError, "Error", QMessageBox::Critical}};
  for (const auto& b : boxes) {
    BoxAnswer answer(QStringLiteral("OK"));
    b.show(QStringLiteral("Text."));
    ASSERT_EQ(answer.Seen.size(), 1u) << b.caption;
    EXPECT_EQ(answer.Seen[0].Title, QString::fromLatin1(b.caption));
    EXPECT_EQ(answer.Seen[0].Text, QStringLiteral("Text."));
    EXPECT_EQ(answer.Seen[0].Icon, b.icon);
    EXPECT_EQ(answer.Seen[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(answer.Modality, Qt::ApplicationModal);
  }
}

TEST(MessageBoxes, QueryIsTrueOnlyForYes) {
  {
    BoxAnswer answer(QStringLiteral("&Yes"));
    EXPECT_TRUE(AskQuery(QStringLiteral("Sure?")));
    ASSERT_EQ(answer.Seen.size(), 1u);
    EXPECT_EQ(answer.Seen[0].Title, QStringLiteral("Query"));
    EXPECT_EQ(answer.Seen[0].Icon, QMessageBox::Question);
    EXPECT_EQ(answer.Seen[0].Buttons, QMessageBox::Yes | QMessageBox::No);
  }
  {
    BoxAnswer answer(QStringLiteral("&No"));
    EXPECT_FALSE(AskQuery(QStringLiteral("Sure?")));
  }
  {
    BoxAnswer answer{QString()};  // closed
    EXPECT_FALSE(AskQuery(QStringLiteral("Sure?")));
  }
}

TEST(MessageBoxes, DialogResults) {
  const auto ask = [](QMessageBox::StandardButtons buttons, const QString& click) {
    BoxAnswer answer(click);
    return MessageDialog(QStringLiteral("C"), QStringLiteral("T"), QMessageBox::Warning, buttons);
  };
  EXPECT_EQ(ask(QMessageBox::Ok | QMessageBox::Cancel, QStringLiteral("OK")), drOk);
  EXPECT_EQ(ask(QMessageBox::Ok | QMessageBox::Cancel, QStringLiteral("&Cancel")), drCancel);
  EXPECT_EQ(ask(QMessageBox::Yes | QMessageBox::No, QStringLiteral("&Yes")), drOk);
  EXPECT_EQ(ask(QMessageBox::Yes | QMessageBox::No, QStringLiteral("&No")), drNo);
  EXPECT_EQ(ask(QMessageBox::Retry | QMessageBox::Abort, QStringLiteral("&Retry")), drCancel);
}

TEST(ComboValues, OutOfLimitsWarnsAndPutsTheDefaultIn) {
  QWidget window;
  auto* other = new QLineEdit(&window);
  auto* combo = new QComboBox(&window);
  QComboBox& box = *combo;
  box.setEditable(true);
  box.setEditText(QStringLiteral("-5"));
  window.show();
  other->setFocus();
  ASSERT_EQ(window.focusWidget(), other);
  BoxAnswer answer(QStringLiteral("OK"));
  EXPECT_EQ(GetIntFromComboBox(&box, 0, 50, 0), 0);
  ASSERT_EQ(answer.Seen.size(), 1u);
  EXPECT_EQ(answer.Seen[0].Title, QStringLiteral("Warning"));
  EXPECT_EQ(answer.Seen[0].Text,
            QStringLiteral("Integer value outside limits.\nIt will be set to default.\n"
                           "    * Minimum = 0\n    * Maximum = 50\n    * Default = 0"));
  EXPECT_EQ(box.currentText(), QStringLiteral("0"));
  EXPECT_EQ(window.focusWidget(), combo);
}

TEST(ComboValues, BadTextRecordsErrorAndEmptyBoxUsesDefault) {
  QComboBox box;
  box.setEditable(true);
  box.setEditText(QStringLiteral("1 hour"));
  {
    BoxAnswer answer(QStringLiteral("OK"));
    EXPECT_EQ(GetIntFromComboBox(&box, 1, 100, 60), 60);
    EXPECT_EQ(answer.Seen.size(), 1u);
    EXPECT_EQ(FunStatContext.Status, fsError);
    EXPECT_EQ(FunStatContext.Function, QStringLiteral("GetIntFromComboBox"));
    EXPECT_EQ(box.currentText(), QStringLiteral("60"));
  }
  {
    BoxAnswer answer(QStringLiteral("OK"));
    box.setEditText(QStringLiteral("$20"));
    EXPECT_EQ(GetIntFromComboBox(&box, 1, 100, 60), 32);
    box.setEditText(QString());
    EXPECT_EQ(GetIntFromComboBox(&box, 1, 100, 60), 60);
    EXPECT_TRUE(answer.Seen.empty());
    EXPECT_EQ(FunStatContext.Status, fsPerfect);
  }
  {
    // The warning also comes for an empty box whose default lies outside the limits.
    BoxAnswer answer(QStringLiteral("OK"));
    EXPECT_EQ(GetIntFromComboBox(&box, 1, 100, 0), 0);
    EXPECT_EQ(answer.Seen.size(), 1u);
  }
}

TEST(Clipboard, EmptyTextWarnsAndLeavesTheClipboard) {
  QApplication::clipboard()->setText(QStringLiteral("before"));
  {
    BoxAnswer answer(QStringLiteral("OK"));
    EXPECT_FALSE(CopyTextToClipboard(QString()));
    ASSERT_EQ(answer.Seen.size(), 1u);
    EXPECT_EQ(answer.Seen[0].Title, QStringLiteral("Warning"));
    EXPECT_EQ(answer.Seen[0].Text, QStringLiteral("There is no text to copy to clipboard."));
  }
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
  EXPECT_TRUE(CopyTextToClipboard(QStringLiteral("Teal")));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Teal"));
  EXPECT_TRUE(CopyTextToClipboard(QStringLiteral(" Lime"), {}, false, true));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Teal Lime"));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST(Drops, LocalFilesInOrder) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/pictures/b c.jpg"), QUrl("https://example.com/x.jpg"),
                QUrl("file:///pictures/folder/"), QUrl::fromLocalFile("/pictures/a.png")});
  EXPECT_EQ(DroppedFilesToList(&data),
            (QStringList{"/pictures/b c.jpg", "/pictures/folder", "/pictures/a.png"}));
  QMimeData text;
  text.setText(QStringLiteral("/not/a/drop"));
  EXPECT_TRUE(DroppedFilesToList(&text).isEmpty());
  EXPECT_TRUE(DroppedFilesToList(nullptr).isEmpty());
}

TEST(ControlHelpers, SelectComboItem) {
  QComboBox combo;
  combo.addItems({"5", "10", "15"});
  SelectComboItem(&combo, "7", "10");
  EXPECT_EQ(combo.currentText(), QStringLiteral("10"));
  SelectComboItem(&combo, "15", "10");
  EXPECT_EQ(combo.currentText(), QStringLiteral("15"));
  SelectComboItem(&combo, "", "10");
  EXPECT_EQ(combo.currentText(), QStringLiteral("10"));
  SelectComboItem(&combo, "7", "8");
  EXPECT_EQ(combo.currentIndex(), 0);
  combo.setCurrentIndex(2);
  SelectComboItem(&combo, "", "");
  EXPECT_EQ(combo.currentIndex(), 0);
}

TEST(ControlHelpers, FindMenuItemByTagSkipsSeparators) {
  QMenu menu;
  menu.addAction("One")->setData(1);
  menu.addSeparator()->setData(2);
  menu.addAction("-")->setData(2);
  QAction* two = menu.addAction("Two");
  two->setData(2);
  menu.addAction("Again")->setData(2);
  QMenu* sub = menu.addMenu("Sub");
  sub->addAction("Deep")->setData(3);
  EXPECT_EQ(FindMenuItemByTag(&menu, 2), two);
  EXPECT_EQ(FindMenuItemByTag(&menu, 3), nullptr);
  EXPECT_EQ(FindMenuItemByTag(&menu, 1)->text(), QStringLiteral("One"));
}

TEST(ControlHelpers, ListSelectionByPoint) {
  QListWidget list;
  list.addItems({"a", "b", "c"});
  list.resize(200, 300);
  list.show();
  list.setCurrentRow(0);
  QSignalSpy changes(&list, &QListWidget::currentRowChanged);
  EXPECT_EQ(SelectListItemAt(&list, list.visualItemRect(list.item(2)).center().x(),
                             list.visualItemRect(list.item(2)).center().y()),
            2);
  EXPECT_EQ(list.currentRow(), 2);
  EXPECT_EQ(changes.size(), 1);
  // Below the last item: nothing is hit and the selection stays, without change signals.
  EXPECT_EQ(SelectListItemAt(&list, 10, 290), -1);
  EXPECT_EQ(list.currentRow(), 2);
  EXPECT_TRUE(list.item(2)->isSelected());
  EXPECT_EQ(changes.size(), 1);
}

TEST(ControlHelpers, FocusFrameOnlyForSelectedFocusedItems) {
  QListWidget list;
  const auto draw = [&](QStyle::State state) {
    QImage image(60, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawListFocusRect(painter, &list, state, QRect(5, 5, 50, 20));
    return image;
  };
  QImage blank(60, 30, QImage::Format_ARGB32);
  blank.fill(Qt::white);
  EXPECT_EQ(draw(QStyle::State_Selected), blank);
  EXPECT_EQ(draw(QStyle::State_HasFocus), blank);
  EXPECT_NE(draw(QStyle::State_Selected | QStyle::State_HasFocus), blank);
}

TEST(PlatformQueries, WorkAreaWithMargin) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect inner = GetWorkAreaRect(10);
  EXPECT_EQ(inner.left(), area.left() + 10);
  EXPECT_EQ(inner.top(), area.top() + 10);
  EXPECT_EQ(inner.right(), area.right() - 10);
  EXPECT_EQ(inner.bottom(), area.bottom() - 10);
  EXPECT_TRUE(SameRect(GetWorkAreaRect(0), area));
  EXPECT_FALSE(SameRect(inner, area));
}
