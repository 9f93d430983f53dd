#include "gui/team_mode.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "gui/convert.h"
#include "gui/window_state.h"
#include "gui/window_texts.h"
#include "team/status_text.h"
#include "team/store.h"
#include "team/sync.h"
#include "team/team_texts.h"

using namespace Qt::Literals::StringLiterals;

namespace tarnwick::gui {

std::optional<TeamLogin> AskTeamLogin(QWidget* parent) {
    QSettings settings = ProgramSettings();
    QDialog dialog(parent);
    dialog.setObjectName("TeamLoginDialog");
    dialog.setWindowTitle(FromBytes(msg::kTeamLoginTitle));
    auto* form = new QFormLayout(&dialog);
    auto* conninfo = new QLineEdit(settings.value(u"team/conninfo"_s).toString(), &dialog);
    conninfo->setObjectName("TeamConninfo");
    conninfo->setPlaceholderText(u"host=db.example.org dbname=survey user=alice"_s);
    conninfo->setMinimumWidth(420);
    QString lastCoder = settings.value(u"team/coder"_s).toString();
    if (lastCoder.isEmpty()) lastCoder = qEnvironmentVariable("USER");
    auto* coder = new QLineEdit(lastCoder, &dialog);
    coder->setObjectName("TeamCoder");
    form->addRow(FromBytes(msg::kTeamConninfoLabel), conninfo);
    form->addRow(FromBytes(msg::kTeamCoderLabel), coder);
    auto* note = new QLabel(FromBytes(msg::kTeamPasswordNote), &dialog);
    note->setWordWrap(true);
    form->addRow(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    TeamLogin login{conninfo->text().trimmed(), coder->text().trimmed(), {}};
    if (login.conninfo.isEmpty() || login.coder.isEmpty()) return std::nullopt;
    settings.setValue(u"team/conninfo"_s, login.conninfo);
    settings.setValue(u"team/coder"_s, login.coder);
    if (team::Connection::NeedsPassword(login.conninfo.toStdString())) {
        bool ok = false;
        login.password = QInputDialog::getText(parent, FromBytes(msg::kTeamLoginTitle),
                                               FromBytes(msg::kTeamPasswordPrompt),
                                               QLineEdit::Password, QString(), &ok);
        if (!ok) return std::nullopt;
    }
    return login;
}

TeamPage::TeamPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TeamPage");
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(FromBytes(msg::kTeamPageTitle), this);
    title->setObjectName("TeamTitle");
    title->setFrameShape(QFrame::StyledPanel);
    title->setMargin(6);
    layout->addWidget(title);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("TeamFigures");
    text_->setReadOnly(true);
    QFont fixed(u"Monospace"_s);
    fixed.setStyleHint(QFont::TypeWriter);
    text_->setFont(fixed);
    layout->addWidget(text_, 1);
    auto* row = new QHBoxLayout();
    layout->addLayout(row);
    auto field = [&](const char* name, const char* label, int width) {
        row->addWidget(new QLabel(FromBytes(label), this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setMaximumWidth(width);
        row->addWidget(edit);
        return edit;
    };
    record_ = field("SettleRecord", msg::kTeamSettleRecord, 90);
    field_ = field("SettleField", msg::kTeamSettleField, 50);
    code_ = field("SettleCode", msg::kTeamSettleCode, 90);
    auto* settle = new QPushButton(FromBytes(msg::kTeamSettleButton), this);
    settle->setObjectName("SettleButton");
    row->addWidget(settle);
    row->addStretch(1);
    connect(settle, &QPushButton::clicked, this, [this] {
        bool okRecord = false, okField = false;
        const int record = record_->text().toInt(&okRecord);
        const int field = field_->text().toInt(&okField);
        if (!okRecord || !okField || record < 1 || field < 1 || code_->text().trimmed().isEmpty()) {
            return;
        }
        emit settleRequested(record, field, code_->text().trimmed());
    });
}

void TeamPage::Settle(team::TeamLink& link, int record, int field, const QString& code,
                      const std::function<void(const std::string&)>& fault) {
    try {
        team::Settle(link.Db(), record - 1, field - 1, ToBytes(code), link.Coder());
    } catch (const team::TeamError& e) {
        fault(e.what());
    }
    Reload(link);
}

void TeamPage::Reload(team::TeamLink& link) {
    QStringList lines;
    if (!link.Online()) {
        lines << FromBytes(msg::TeamOffline(link.Waiting()));
    } else {
        try {
            for (const std::string& line : team::StatusLines(team::ReadStatus(link.Db()))) {
                lines << FromBytes(line);
            }
            const auto list = team::Disagreements(link.Db());
            lines << QString() << FromBytes(msg::kTeamDisagreementsHeading);
            for (const std::string& line : team::DisagreementLines(list)) {
                lines << FromBytes(line);
            }
        } catch (const team::ConnectionLost&) {
            link.LostConnection();
            lines << FromBytes(msg::TeamOffline(link.Waiting()));
        } catch (const team::TeamError& e) {
            lines << FromBytes(e.what());
        }
    }
    text_->setPlainText(lines.join(u'\n'));
}

}  // namespace tarnwick::gui
