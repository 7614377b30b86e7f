#ifndef VIDORA_UI_SHELL_COMMAND_LINE_H_
#define VIDORA_UI_SHELL_COMMAND_LINE_H_

#include <QString>
#include <QStringList>

namespace vidora {

// What a start of the player asks for, read from its arguments. Paths are
// absolute, so the requests mean the same to a running player that
// receives them from a later start in another folder.
struct CommandLineRequests {
  bool show_help = false;
  bool show_version = false;
  // A bad argument, in one line for standard error; empty when none.
  QString error;
  // Stream addresses (and media files) to play at once, in order given;
  // the player plays the last one.
  QStringList stream_addresses;
  // M3U/M3U8 playlists, as absolute file paths or as addresses, in the
  // order given; handed to OpenPlaylistSources.
  QStringList playlist_sources;

  bool empty() const { return stream_addresses.isEmpty() && playlist_sources.isEmpty(); }
};

// Reads `arguments` (the program name first, as QCoreApplication gives
// them) with QCommandLineParser: -h/--help, -v/--version and the
// positional arguments. A positional argument naming a file or address
// that ends in .m3u or .m3u8 is a playlist source; an address with a
// scheme (http://..., a file:// URL) or an existing file is a stream
// address; anything else, and an unknown option, sets `error`. Relative
// paths are made absolute against the current folder. Needs no
// application object.
CommandLineRequests ParseCommandLine(const QStringList& arguments);

// The --help and --version texts, each ending with a line break.
QString CommandLineHelpText();
QString CommandLineVersionText();

// The command line a start forwards to a running player: the requests as
// arguments, each quoted where it must be, so that ParseForwardedCommandLine
// gives them back unchanged.
QString ForwardedCommandLine(const CommandLineRequests& requests);
// The requests of a forwarded command line (as ParseCommandLine).
CommandLineRequests ParseForwardedCommandLine(const QString& command_line);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_COMMAND_LINE_H_
