#include "gui/gui_view.hpp"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/main_window.hpp"
#include "ui/message_window.hpp"

namespace orv {

namespace {
QString q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

MessageDialog::MessageDialog() {
    setObjectName("Form36");
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setFixedSize(418, 73 + 30);
    setStyleSheet("QDialog { background: #87CEEB; }");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("Memo_message");
    text_->setReadOnly(true);
    text_->setStyleSheet("font-weight: bold; background: #87CEEB; border: none;");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OK_message");
    QObject::connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(text_);
    layout->addWidget(ok);
}

void MessageDialog::show(const std::string& title, const std::string& text) {
    setWindowTitle(q(title));
    QString t = q(text);
    t.replace("\r\n", "\n");
    text_->setPlainText(t);
}

void GuiView::attach(Station& station, MainWindow& window) {
    station_ = &station;
    window_ = &window;
}

void GuiView::openMessageWindow(const std::string& title, const std::string& text) {
    messages_.show(title, text);
    const QPoint pointer = QCursor::pos();
    const auto [x, y] = messageWindowTopLeft(pointer.x(), pointer.y());
    messages_.move(x, y);
    messages_.exec();  // modal; the timers go on meanwhile
}

void GuiView::replaceMessageWindow(const std::string& title, const std::string& text) { messages_.show(title, text); }

void GuiView::showStandardBox(BoxIcon icon, const std::string& text) {
    if (icon == BoxIcon::Error)
        QMessageBox::critical(window_, "Orvandel", q(text));
    else
        QMessageBox::information(window_, "Orvandel", q(text));
}

void GuiView::beep(int, int) { QApplication::beep(); }

void GuiView::setFocus(const std::string& control) {
    if (!window_) return;
    if (auto* w = qobject_cast<QWidget*>(window_->control(control))) w->setFocus();
}

void GuiView::openHelp(const std::string& file, int) {
    // The help is ours: one HTML page per language in place of the two help files.
    const bool french = file.rfind("AIDE", 0) == 0;
    const QString page = french ? "aide_fr.html" : "help_en.html";
    for (const QString& folder : {q(helpFolder_), QString(ORVANDEL_HELP_DIR)}) {
        const QString path = folder + "/" + page;
        if (QFile::exists(path)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            return;
        }
    }
    QMessageBox::information(window_, "Orvandel",
                             french ? "L'aide (" + page + ") n'est pas installée." : "The help (" + page + ") is not installed.");
}

void GuiView::openFrequencyMemory() {
    if (!station_) return;
    FrequencyDialog dialog(*station_, window_);
    dialog.exec();
}

void GuiView::openAbout() {
    const bool french = station_ && station_->language() == kFrench;
    QMessageBox::about(window_, french ? "A propos d'Orvandel" : "About Orvandel",
                       QString("Orvandel ") + ORVANDEL_VERSION + "\n\n" +
                           (french ? "Emetteur-récepteur radio logiciel sur les cartes son du PC.\n"
                                     "Logiciel libre sous licence GPL version 3 ou suivante."
                                   : "A software-defined-radio transceiver on the PC's sound cards.\n"
                                     "Free software under the GPL, version 3 or later."));
}

FrequencyDialog::FrequencyDialog(Station& station, QWidget* parent) : QDialog(parent) {
    setObjectName("Form52");
    move(470, 20);
    FrequencyWindow& logic = station.frequencyWindow();
    ControlsModel& controls = station.controls();
    logic.activate();
    setWindowTitle(q(controls.get("Form52").caption));
    auto* grid = new QGridLayout(this);
    for (int k = 1; k <= 12; ++k) {
        const std::string edit = "Frequence" + std::to_string(k);
        auto* field = new QLineEdit(q(controls.get(edit).text), this);
        field->setObjectName(q(edit));
        QObject::connect(field, &QLineEdit::textEdited, this,
                         [&controls, edit](const QString& text) { controls.setText(edit, text.toStdString()); });
        const std::string select = "Transfert" + std::to_string(k);
        auto* button = new QPushButton(q(controls.get(select).caption), this);
        button->setObjectName(q(select));
        QObject::connect(button, &QPushButton::clicked, this, [&logic, &controls, field, edit, k] {
            logic.selectClick(k);
            field->setText(q(controls.get(edit).text));
        });
        grid->addWidget(field, k - 1, 0);
        grid->addWidget(button, k - 1, 1);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OK");
    auto* cancel = new QPushButton(q(controls.get("Annuler").caption), this);
    cancel->setObjectName("Annuler");
    auto* help = new QPushButton(q(controls.get("Bouton_aide").caption), this);
    help->setObjectName("Bouton_aide");
    QObject::connect(ok, &QPushButton::clicked, this, [this, &logic] {
        logic.okClick();
        accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    QObject::connect(help, &QPushButton::clicked, this, [&logic] { logic.helpClick(); });
    grid->addWidget(ok, 12, 0);
    grid->addWidget(cancel, 12, 1);
    grid->addWidget(help, 13, 0, 1, 2);
}

}  // namespace orv
