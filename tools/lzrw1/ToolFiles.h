#pragma once
// Where lzrw1 reads and writes, apart from what its command line says.
//
//   OUT a regular file, or missing   the output goes to a temporary file
//                                    beside it (a short name, whatever OUT's
//                                    length), made durable and renamed over
//                                    OUT only when complete, with OUT's
//                                    permission bits; an error or a signal
//                                    leaves OUT as it was
//   OUT a device, FIFO, terminal,    written straight into, never replaced:
//   socket, anything under /dev      renaming over /dev/null would put a
//   or /proc, or "-" (stdout)        regular file in its place
//   IN "-" (stdin), or any IN of an  read whole into memory first (a pipe
//   OUT written in place             can be neither sized nor rewound); the
//                                    output is checked for write errors and,
//                                    unpacked, against the size its header
//                                    promises, as the component in stream
//                                    mode keeps its errors to itself
//
// SIGINT, SIGTERM and SIGHUP remove the temporary file and end the tool with
// 128 + the signal's number.
#include "LZRW1.h"

#include <string>

namespace lzrw1tool {

enum class Work { Compress, Decompress, Advise };

// Installs the handlers that remove the temporary output on a signal.
void CatchTerminatingSignals();

// Runs the component on IN (and OUT, but for Advise) as the table above
// says. Errors are ELzrw1Exception with the component's own texts, naming
// IN and OUT as the user gave them.
TCompressMode Run(Tlzrw1& z, Work work, const std::string& in, const std::string& out = {});

// The temporary output's name for OUT: in OUT's folder (the folder of the
// file OUT links to), OUT's name cut to a few characters, then
// ".lzrw1-XXXXXX" for mkstemp. Kept short so that any valid OUT gives a
// valid name.
std::string TemporaryPattern(const std::string& target);

} // namespace lzrw1tool
