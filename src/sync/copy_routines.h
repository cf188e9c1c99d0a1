#pragma once

struct RunContext;

// Runs the current action without its sub-folders: the origin folder's matching files.
void CopyWithoutSubFolders(RunContext &run);

// Runs the current action through the origin's whole tree of sub-folders.
void CopyWithFolders(RunContext &run);

// Fills run.fileList with the relative paths of the matching files of the origin tree.
void BuildFileList(RunContext &run);
