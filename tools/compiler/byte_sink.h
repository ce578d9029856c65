// Where the compiler puts the bytes of one output file: a sink takes them
// in order, through a buffer of fixed size, so that a file of any size is
// written without holding its image in memory. A sink into a byte vector
// serves the callers that want the image itself.
#ifndef TOLVANE_TOOLS_COMPILER_BYTE_SINK_H
#define TOLVANE_TOOLS_COMPILER_BYTE_SINK_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace v7c {

// Takes the next size bytes of the file. Returns 1, or 0 when they could
// not be stored (the sink then takes nothing more).
typedef int (*SinkWrite)(void* context, const uint8_t* data, size_t size);

// The buffer between a writer and its sink. Writers ask for room, fill it
// and commit what they used; the buffer passes full loads on. After a
// failed write `ok` is 0 and further bytes are dropped.
struct ByteSink {
  SinkWrite write;
  void* context;
  std::vector<uint8_t> buffer;
  size_t used;
  uint64_t total;  // bytes committed so far: the file offset of the next
  int ok;
};

// Readies a sink with a buffer of buffer_size bytes.
void OpenSink(ByteSink* sink, SinkWrite write, void* context,
              size_t buffer_size);

// Room for at least size bytes (at most the buffer size), valid until the
// next call on the sink.
uint8_t* SinkRoom(ByteSink* sink, size_t size);

// Adds the first size bytes of the room to the file.
inline void SinkCommit(ByteSink* sink, size_t size) {
  sink->used += size;
  sink->total += size;
}

// Copies size bytes of any length into the file.
void SinkPut(ByteSink* sink, const void* data, size_t size);

// Passes everything buffered on. Returns sink->ok.
int FlushSink(ByteSink* sink);

// A SinkWrite that appends to the std::vector<uint8_t> given as context.
int AppendToVector(void* context, const uint8_t* data, size_t size);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_BYTE_SINK_H
