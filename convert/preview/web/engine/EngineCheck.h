#pragma once
// Whether the engine starts on this machine, found in a process of its own:
// where it cannot (no resources, no helper program, a sandbox it may not
// use) it ends its whole process, which must not be the user's window.

namespace quillary {

// A page drawn through the preview's own view: 0; otherwise why not, as
// the exit status.
int CheckWebEngine(int argc, char** argv);

}  // namespace quillary
