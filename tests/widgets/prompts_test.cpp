#include "widgets/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The real file dialog, driven as a user drives it.
class PromptsTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir;

    // Once the dialog is up: picks file type typeIndex (0-based) from the list with the
    // keyboard, types name and presses Save.
    void AnswerDialog(int typeIndex, const QString& name) {
        QTimer::singleShot(0, this, [this, typeIndex, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                AnswerDialog(typeIndex, name);
                return;
            }
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; i < typeIndex; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

  private slots:
    void theChosenTypeIsReportedWithItsExtension() {
        FileDialogRequest request;
        request.title = "Export";
        request.filter = "Topcon GTS-700/600/800 Coords(*.pts)|*.pts|CSV File(comma "
                         "separated)(*.CSV)|*.CSV|Stake(User's)|*.stk";
        request.defaultExt = "pts";
        request.folder = dir.path();
        DialogPrompts prompts;
        for (int type : {2, 1, 0}) {
            AnswerDialog(type, "out");
            const std::optional<FileChoice> choice = prompts.ChooseSaveFile(nullptr, request);
            QVERIFY(choice);
            QCOMPARE(choice->filterIndex, type + 1);
            QCOMPARE(QFileInfo(WithTypeExtension(*choice, request)).suffix(),
                     QStringList({"pts", "CSV", "stk"})[type]);
        }
    }
};

QTEST_MAIN(PromptsTest)
#include "prompts_test.moc"
