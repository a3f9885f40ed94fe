#pragma once

class QThreadPool;

// The one pool for heavy picture work (full-size decodes, JPEG encodes): as many threads as the
// machine has cores. Work posts its result back to the window thread itself.
QThreadPool *pictureWorkers();

// Blocks until every piece of picture work has finished; the program's end waits here for saves
// still being written.
void waitForPictureWork();
