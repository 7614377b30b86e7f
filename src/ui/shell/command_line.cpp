#include "ui/shell/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "ui/dialogs/about_dialog.h"

namespace vidora {

namespace {

constexpr char kProgramName[] = "vidora";

struct Parser {
  QCommandLineParser parser;
  QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
  QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                             QStringLiteral("Show the version and exit.")};

  Parser() {
    parser.setApplicationDescription(QStringLiteral("Vidora plays internet TV channels and radio stations."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("A stream address to play at once, or an M3U/M3U8 playlist "
                                                "(file or address) to open."),
                                 QStringLiteral("[address|playlist...]"));
  }
};

bool IsPlaylistName(const QString& path) {
  return path.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive);
}

// Sorts one positional argument into `requests`.
void AddSource(const QString& argument, CommandLineRequests& requests) {
  // "scheme://": the address goes to the player as it stands, even with
  // characters a strict URL would refuse (the player encodes them).
  static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+://"));
  const bool has_scheme = kScheme.match(argument).hasMatch();
  const bool local = argument.startsWith(QStringLiteral("file://"), Qt::CaseInsensitive);
  if (has_scheme && !local) {
    const QString path = QUrl(argument).path();
    (IsPlaylistName(path) ? requests.playlist_sources : requests.stream_addresses).append(argument);
    return;
  }
  // A desktop entry's %U hands local files over as file:// URLs.
  const QString path = local ? QUrl(argument).toLocalFile() : argument;
  const QFileInfo file(path);
  if (IsPlaylistName(path)) {
    requests.playlist_sources.append(file.absoluteFilePath());
  } else if (file.isFile()) {
    requests.stream_addresses.append(file.absoluteFilePath());
  } else if (requests.error.isEmpty()) {
    requests.error = QStringLiteral("%1: not a stream address, media file or playlist: %2")
                         .arg(QLatin1String(kProgramName), argument);
  }
}

CommandLineRequests Parse(const QStringList& arguments) {
  CommandLineRequests requests;
  Parser p;
  const bool parsed = p.parser.parse(arguments);
  // Help and version are read even past an option only Qt knows.
  requests.show_help = p.parser.isSet(p.help);
  requests.show_version = p.parser.isSet(p.version);
  if (!parsed) {
    requests.error = QStringLiteral("%1: %2 (try --help)").arg(QLatin1String(kProgramName), p.parser.errorText());
    return requests;
  }
  for (const QString& argument : p.parser.positionalArguments()) AddSource(argument, requests);
  return requests;
}

QString Quoted(const QString& argument) {
  if (!argument.isEmpty() && !argument.contains(QLatin1Char(' ')) && !argument.contains(QLatin1Char('"')) &&
      !argument.contains(QLatin1Char('\t')) && !argument.contains(QLatin1Char('\n'))) {
    return argument;
  }
  QString text = argument;
  text.replace(QStringLiteral("\""), QStringLiteral("\"\"\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

CommandLineRequests ParseCommandLine(const QStringList& arguments) { return Parse(arguments); }

QString CommandLineHelpText() {
  Parser p;
  QString text = p.parser.helpText();
  // Qt names the program by its path, or not at all without an
  // application object; the help names the command.
  const qsizetype start = text.indexOf(QLatin1Char(' ')) + 1;
  const qsizetype end = text.indexOf(QStringLiteral(" [options]"));
  if (start > 0 && end > start) text.replace(start, end - start, QLatin1String(kProgramName));
  return text;
}

QString CommandLineVersionText() {
  return QLatin1String(kProgramName) + QLatin1Char(' ') + QString::fromUtf16(kAppVersion) + QLatin1Char('\n');
}

QString ForwardedCommandLine(const CommandLineRequests& requests) {
  QStringList parts;
  for (const QString& address : requests.stream_addresses) parts.append(Quoted(address));
  for (const QString& source : requests.playlist_sources) parts.append(Quoted(source));
  return parts.join(QLatin1Char(' '));
}

CommandLineRequests ParseForwardedCommandLine(const QString& command_line) {
  QStringList arguments = QProcess::splitCommand(command_line);
  arguments.prepend(QLatin1String(kProgramName));
  return Parse(arguments);
}

}  // namespace vidora
