// TemporaryFiles: where our hosts put what they make for a run (the child's
// records and job, a captured stream, the configuration folder, a file on its
// way to its place) and how each gets a name no other run has. Nothing here
// throws: a temporary folder that is missing, is no folder or takes no new file
// is a result.
#pragma once

#include <string>

// The process's temporary folder, once a file could be made in it; empty, with
// what was looked at and why it will not do in `error` (say "TMPDIR=/gone:
// there is no such folder"), when it is missing, is no folder or takes no file.
std::string temporaryFolder(std::string& error);
// A name in `folder` that no other call, in this process or another, is
// likely to give: FOLDER/STEM-RANDOM-COUNT. Its length is the same for a given
// folder and stem, so that runs repeated do the same work. An empty folder
// gives the name alone (for a name that is no file's).
std::string freshName(const std::string& folder, const std::string& stem);
// The platform's part: the folder it names for temporary files (empty when it
// names none), with where that came from in `named` ("TMPDIR=/var/tmp").
std::string platformTemporaryFolder(std::string& named);
