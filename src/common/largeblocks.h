#pragma once

// Blocks from this size on (reply buffers, decoded pictures) are mapped on their own and go back
// to the system as soon as they are freed, so a burst of large replies leaves no heap behind it
// and growing a reply never copies it. The default C library raises this threshold as large
// blocks come and go, which kept hundreds of MiB of freed replies resident. Up to 1 MiB free at
// the heap's top are kept for the smaller blocks that come and go every reply (the sockets' read
// buffers), rather than given back and taken again page by page. Called once, first thing in
// main; does nothing where the C library has no such setting.
void mapLargeBlocksApart();
