// Buffered sinks.
#include "compiler/byte_sink.h"

#include <cstring>

namespace v7c {

void OpenSink(ByteSink* sink, SinkWrite write, void* context,
              size_t buffer_size) {
  sink->write = write;
  sink->context = context;
  sink->buffer.resize(buffer_size);
  sink->used = 0;
  sink->total = 0;
  sink->ok = 1;
}

int FlushSink(ByteSink* sink) {
  if (sink->ok && sink->used > 0)
    sink->ok = sink->write(sink->context, sink->buffer.data(), sink->used);
  sink->used = 0;
  return sink->ok;
}

uint8_t* SinkRoom(ByteSink* sink, size_t size) {
  if (sink->buffer.size() - sink->used < size) FlushSink(sink);
  return sink->buffer.data() + sink->used;
}

void SinkPut(ByteSink* sink, const void* data, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    size_t room = sink->buffer.size() - sink->used;
    if (room == 0) {
      FlushSink(sink);
      room = sink->buffer.size();
    }
    size_t n = size < room ? size : room;
    memcpy(sink->buffer.data() + sink->used, bytes, n);
    SinkCommit(sink, n);
    bytes += n;
    size -= n;
  }
}

int AppendToVector(void* context, const uint8_t* data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), data, data + size);
  return 1;
}

}  // namespace v7c
