#pragma once

class QThreadPool;

// The one pool of worker threads for heavy picture work (slot decodes, full-size decodes, JPEG
// encodes): as many threads as cores. Everything else runs on the window thread; results come
// back there. The pool lives until the program ends and waits for its work then.
QThreadPool *pictureWorkers();
