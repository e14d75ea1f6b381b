#!/usr/bin/env bash
# The layers show in the folders: a core file (at a subsystem folder's top, or in any
# subfolder but qt/ and ui/) includes no Qt and nothing from qt/ or ui/; a qt/ file
# includes no Qt Widgets and nothing from ui/. Folders may be named as arguments.
set -uo pipefail
cd "$(dirname "$0")/.."

folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(app transfer comport rawconv formats sdcard cli)

qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q|qt)[^/]*[>"]|#[[:space:]]*include[[:space:]]*"[^"]*/(qt|ui)/'
widgets='QtWidgets|QtGui|QtPrintSupport|QWidget|QDialog|QMessageBox|QApplication|QMainWindow|QLabel|QPushButton|QComboBox|QLineEdit|QAction|QMenu|QToolBar|QToolButton|QStatusBar|QTableView|QPlainTextEdit|QTextEdit|QGroupBox|QRadioButton|QButtonGroup|QGridLayout|QVBoxLayout|QHBoxLayout|QFileDialog|QInputDialog|QPrinter|QPrintDialog|QPainter|QFont|QPalette|QColor|QIcon|QStyle|QHeaderView|QFrame|QCheckBox|QProgressBar|QScreen|QGuiApplication|QCloseEvent|QShowEvent|QKeyEvent'
widgets_include="^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($widgets)[>\"/]|#[[:space:]]*include[[:space:]]*\"[^\"]*/ui/"

status=0
for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        case "/$file" in
        */qt/*) pattern=$widgets_include ;;
        */ui/*) continue ;;
        *) pattern=$qt_include ;;
        esac
        if grep -HnE "$pattern" "$file"; then
            status=1
        fi
    done < <(find "$folder" -name '*.cpp' -o -name '*.h' | sort)
done
[ $status -eq 0 ] || echo "check-layers: the includes above cross a layer" >&2
exit $status
