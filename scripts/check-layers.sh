#!/usr/bin/env bash
# The layers show in the folders, and every include runs down them.
# - Folders: base <- job <- rawconv, comport, formats, sdcard, transfer, survey, gis
#   <- widgets <- the folders' ui/ <- app, cli. A folder includes only the folders that
#   ALLOWED below gives it; widgets/ only from a ui/ folder.
# - Inside a folder: a core file (at its top, or in any subfolder but qt/ and ui/)
#   includes no Qt and nothing from qt/ or ui/; a qt/ file includes no Qt Widgets and
#   nothing from ui/.
# Folders may be named as arguments. The build runs this script.
set -uo pipefail
cd "$(dirname "$0")/.."

declare -A ALLOWED=(
    [base]=""
    [job]="base"
    [rawconv]="base job"
    [comport]="base job"
    [formats]="base job rawconv"
    [sdcard]="base job rawconv formats"
    [transfer]="base job rawconv comport"
    [survey]="base job rawconv"
    [gis]="base job"
    [widgets]="base"
    [app]="base job rawconv comport formats sdcard transfer survey gis widgets"
    [cli]="base job rawconv comport formats sdcard transfer survey gis"
)

folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(base job rawconv comport formats sdcard transfer survey gis widgets app cli)

# Prints the includes of file that reach a folder it may not include.
includes_running_up() {
    local file=$1 folder=${1%%/*} line target
    while IFS= read -r line; do
        target=$(sed -E 's/^[^"]*"([^/"]+)\/.*/\1/' <<<"${line#*:}")
        [ "$target" = "$folder" ] && continue
        if [ "$target" = widgets ] && [[ "/$file" == */ui/* ]]; then
            continue
        fi
        [[ " ${ALLOWED[$folder]} " == *" $target "* ]] || echo "$file:$line"
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$file")
}

qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q|qt)[^/]*[>"]|#[[:space:]]*include[[:space:]]*"[^"]*/(qt|ui)/'
widgets='QtWidgets|QtGui|QtPrintSupport|QWidget|QDialog|QMessageBox|QApplication|QMainWindow|QLabel|QPushButton|QComboBox|QLineEdit|QAction|QMenu|QToolBar|QToolButton|QStatusBar|QTableView|QPlainTextEdit|QTextEdit|QGroupBox|QRadioButton|QButtonGroup|QGridLayout|QVBoxLayout|QHBoxLayout|QFileDialog|QInputDialog|QPrinter|QPrintDialog|QPainter|QFont|QPalette|QColor|QIcon|QStyle|QHeaderView|QFrame|QCheckBox|QProgressBar|QScreen|QGuiApplication|QCloseEvent|QShowEvent|QKeyEvent'
widgets_include="^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($widgets)[>\"/]|#[[:space:]]*include[[:space:]]*\"[^\"]*/ui/"

status=0
for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        case "/$file" in
        */qt/*) pattern=$widgets_include ;;
        */ui/* | /widgets/*) pattern= ;;
        *) pattern=$qt_include ;;
        esac
        if [ -n "$pattern" ] && grep -HnE "$pattern" "$file"; then
            status=1
        fi
        up=$(includes_running_up "$file")
        if [ -n "$up" ]; then
            echo "$up"
            status=1
        fi
    done < <(find "$folder" -name '*.cpp' -o -name '*.h' | sort)
done
[ $status -eq 0 ] || echo "check-layers: the includes above cross a layer" >&2
exit $status
