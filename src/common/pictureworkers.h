#pragma once

class QThreadPool;

// The one pool of worker threads for heavy picture work (slot decodes, full-size decodes, JPEG
// encodes): as many threads as the machine has cores. Work posts its result back to the window
// thread itself.
QThreadPool *pictureWorkers();

// Blocks until every piece of picture work has finished; the program's end waits here, so no
// work outlives the application object.
void waitForPictureWork();
