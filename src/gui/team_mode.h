#pragma once
// The window's team mode: the Open team project dialog, and the Team page with the supervisor's
// figures and the disagreements to settle.

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QLineEdit;
class QPlainTextEdit;

namespace tarnwick::team {
class TeamLink;
}

namespace tarnwick::gui {

struct TeamLogin {
    QString conninfo;
    QString coder;
    QString password;  // only when the server asks for one that libpq's means did not give
};

// Asks for the connection string and the coder's name (the last ones used are offered), and
// for a password when the server wants one that neither ~/.pgpass nor PGPASSWORD gives. The
// password is never stored. None when the coder cancels.
std::optional<TeamLogin> AskTeamLogin(QWidget* parent);

class TeamPage : public QWidget {
    Q_OBJECT
  public:
    explicit TeamPage(QWidget* parent);
    // Reads the figures and the disagreements afresh through the link; a lost connection shows
    // as a line on the page.
    void Reload(team::TeamLink& link);
    // The final code of a disagreement (record and field counted from 1); the page again after
    // it. A refusal of the database is `fault`'s.
    void Settle(team::TeamLink& link, int record, int field, const QString& code,
                const std::function<void(const std::string&)>& fault);

  signals:
    void settleRequested(int record, int field, const QString& code);

  private:
    QPlainTextEdit* text_ = nullptr;
    QLineEdit* record_ = nullptr;
    QLineEdit* field_ = nullptr;
    QLineEdit* code_ = nullptr;
};

}  // namespace tarnwick::gui
