// The two folders a loaded module finds its files in, derived from the
// module's own path.
#pragma once

// path: the module file's full path in the ANSI code page; it is cut up in
// place.  On success *module_dir is the folder holding the file (ANSI, as
// the ANSI library calls want it) and *resources_dir the "Resources" folder
// beside that folder (UTF-8, as the editor decodes it); both are malloc'd.
// 0, or -1 with nothing allocated.
int module_folders_from_path(char* path, char** module_dir, char** resources_dir);
