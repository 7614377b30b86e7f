#include "ui/parental/pin_hash.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

#include <array>

namespace vidora {
namespace {

constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

QByteArray Derive(const QString& pin, const QByteArray& salt, int iterations) {
  return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt, iterations, kHashBytes);
}

}  // namespace

PinRecord HashPin(const QString& pin) {
  std::array<quint32, kSaltBytes / 4> words{};
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  const QByteArray salt(reinterpret_cast<const char*>(words.data()), kSaltBytes);
  const QByteArray hash = Derive(pin, salt, kPinIterations);
  return {kPinIterations, salt.toStdString(), hash.toStdString()};
}

bool PinMatches(const QString& pin, const PinRecord& record) {
  const QByteArray salt = QByteArray::fromStdString(record.salt);
  const QByteArray hash = Derive(pin, salt, record.iterations);
  return !hash.isEmpty() && SameBytesInConstantTime(hash.toStdString(), record.hash);
}

}  // namespace vidora
