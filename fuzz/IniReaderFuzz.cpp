// Settings files as users edit them: the reader must never crash, and what it writes back must
// read back to the same store.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "StoredTextList/MemIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemIniFile ini;
  ini.Parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  ini.ReadString(QStringLiteral("Main"), QStringLiteral("XPos"), QString());
  ini.WriteString(QStringLiteral("Main"), QStringLiteral("XPos"), QStringLiteral("1"));

  const QByteArray written = ini.Serialize();
  TMemIniFile again;
  again.Parse(written);
  if (again.Serialize() != written) std::abort();
  return 0;
}
