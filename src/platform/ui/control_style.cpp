#include "platform/ui/control_style.h"

#include <QFileInfo>

#include <QRegularExpression>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "platform/ui/program_folder.h"
#include "platform/ui/skin_loader.h"

namespace varkon::ui {

namespace {

constexpr const char* kStyleIdProperty = "varkonStyleId";
constexpr const char* kBaseStyleProperty = "varkonBaseStyle";

uint32_t ColourProperty(const QWidget* control, const char* name) {
  if (control == nullptr) return 0;
  const QVariant value = control->property(name);
  if (!value.isValid()) return 0;
  uint32_t argb = 0;
  return ParseColour(value.toString(), &argb) ? argb : 0;
}

QString Rgba(uint32_t argb) {
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg((argb >> 16) & 0xff)
      .arg((argb >> 8) & 0xff)
      .arg(argb & 0xff)
      .arg(argb >> 24);
}

// Rebuilds the control's own style sheet from its style properties.
void ApplyStyle(QWidget* control) {
  QVariant id = control->property(kStyleIdProperty);
  if (!id.isValid()) {
    static qulonglong nextId = 1;
    id = QVariant::fromValue(nextId++);
    control->setProperty(kStyleIdProperty, id);
    control->setProperty(kBaseStyleProperty, control->styleSheet());
    control->setAttribute(Qt::WA_StyledBackground, true);
  }
  QString rules;
  const uint32_t background = ColourProperty(control, kBackgroundColourProperty);
  if (background != 0) rules += QStringLiteral(" background-color: %1;").arg(Rgba(background));
  QString backgroundImage = ResolveSkinImage(control, BackgroundImage(control));
  if (backgroundImage.isEmpty())
    backgroundImage = control->property(kBackgroundFileProperty).toString();
  if (!backgroundImage.isEmpty() && !control->property(kOwnBackgroundProperty).toBool()) {
    rules +=
        QStringLiteral(" border-image: url(\"%1\") 0 0 0 0 stretch stretch;").arg(backgroundImage);
  }
  const uint32_t foreground = ColourProperty(control, kForegroundColourProperty);
  if (foreground != 0) rules += QStringLiteral(" color: %1;").arg(Rgba(foreground));
  const QString foregroundImage = ResolveSkinImage(control, ForegroundImage(control));
  if (!foregroundImage.isEmpty()) {
    rules += QStringLiteral(" image: url(\"%1\");").arg(foregroundImage);
  }
  // A background of its own makes the control flat, without the native frame drawn over it.
  if (background != 0 || !backgroundImage.isEmpty()) rules += QStringLiteral(" border: none;");
  QString sheet = control->property(kBaseStyleProperty).toString();
  if (!rules.isEmpty()) {
    sheet += QStringLiteral("\n*[%1=\"%2\"] {%3 }")
                 .arg(QLatin1String(kStyleIdProperty), id.toString(), rules);
  }
  control->setStyleSheet(sheet);
}

bool SetColour(QWidget* control, const char* name, uint32_t argb) {
  if (control == nullptr) return false;
  control->setProperty(name, QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0')));
  ApplyStyle(control);
  return true;
}

bool SetImage(QWidget* control, const char* name, const QString& image) {
  if (control == nullptr) return false;
  if (!image.isEmpty() && ResolveSkinImage(control, image).isEmpty()) return false;
  control->setProperty(name, image);
  ApplyStyle(control);
  return true;
}

bool HasStyleProperty(const QWidget* control) {
  for (const char* name : {kBackgroundColourProperty, kBackgroundImageProperty,
                           kForegroundColourProperty, kForegroundImageProperty}) {
    if (control->property(name).isValid()) return true;
  }
  return false;
}

}  // namespace

bool ParseColour(const QString& text, uint32_t* argb) {
  QString digits = text.trimmed();
  bool hex = false;
  if (digits.startsWith(QLatin1Char('#'))) {
    digits = digits.mid(1);
    hex = true;
  } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    digits = digits.mid(2);
    hex = true;
  }
  if (digits.isEmpty() || digits.size() > 10) return false;
  bool ok = false;
  const qulonglong value = digits.toULongLong(&ok, hex ? 16 : 10);
  if (!ok || value > 0xffffffffULL) return false;
  if (hex && digits.size() != 6 && digits.size() != 8) return false;
  *argb = static_cast<uint32_t>(value);
  if (hex && digits.size() == 6) *argb |= 0xff000000u;
  return true;
}

QString ImageFileOf(const QString& attribute) {
  static const QRegularExpression kFile(QStringLiteral("file\\s*=\\s*'([^']*)'"));
  const QRegularExpressionMatch match = kFile.match(attribute);
  if (match.hasMatch()) return match.captured(1);
  return attribute.trimmed();
}

QString ResolveSkinImage(const QWidget* control, const QString& image) {
  const QString file = ImageFileOf(image);
  if (file.isEmpty()) return {};
  std::string folder;
  for (const QWidget* w = control; w != nullptr; w = w->parentWidget()) {
    const QVariant stored = w->property(kSkinFolderProperty);
    if (stored.isValid() && !stored.toString().isEmpty()) {
      folder = stored.toString().toStdString();
      break;
    }
  }
  if (folder.empty()) folder = SkinFolder();
  return QString::fromStdString(SkinFilePath(folder, file.toStdString()));
}

bool SetBackgroundColour(QWidget* control, uint32_t argb) {
  return SetColour(control, kBackgroundColourProperty, argb);
}
bool SetBackgroundImage(QWidget* control, const QString& image) {
  return SetImage(control, kBackgroundImageProperty, image);
}
bool SetBackgroundFile(QWidget* control, const QString& path) {
  // The path goes into a style sheet's url("..."): a quote or a backslash in it could end the
  // rule and add others, so such a name is refused.
  if (control == nullptr || path.contains('"') || path.contains('\\')) return false;
  if (!path.isEmpty() && !QFileInfo(path).isFile()) return false;
  control->setProperty(kBackgroundFileProperty, path);
  ApplyStyle(control);
  return true;
}
bool SetForegroundColour(QWidget* control, uint32_t argb) {
  return SetColour(control, kForegroundColourProperty, argb);
}
bool SetForegroundImage(QWidget* control, const QString& image) {
  return SetImage(control, kForegroundImageProperty, image);
}

uint32_t BackgroundColour(const QWidget* control) {
  return ColourProperty(control, kBackgroundColourProperty);
}
QString BackgroundImage(const QWidget* control) {
  return control == nullptr ? QString() : control->property(kBackgroundImageProperty).toString();
}
uint32_t ForegroundColour(const QWidget* control) {
  return ColourProperty(control, kForegroundColourProperty);
}
QString ForegroundImage(const QWidget* control) {
  return control == nullptr ? QString() : control->property(kForegroundImageProperty).toString();
}

void ApplySkinStyles(QWidget* root) {
  if (root == nullptr) return;
  if (HasStyleProperty(root)) ApplyStyle(root);
  for (QWidget* control : root->findChildren<QWidget*>()) {
    if (HasStyleProperty(control)) ApplyStyle(control);
  }
}

}  // namespace varkon::ui
