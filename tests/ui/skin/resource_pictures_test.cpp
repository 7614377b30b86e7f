#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "core/document/document_format.h"
#include "core/stores/image_lookup.h"
#include "support/temp_dir.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

MemoryStream Png(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return MemoryStream(bytes.constData(), static_cast<uint32_t>(bytes.size()));
}

// Picture documents in a temporary folder.
class ResourcePicturesTest : public ::testing::Test {
 protected:
  void SaveResources(bool with_images) {
    DocNode root("resources");
    if (with_images) {
      DocNode* images = root.AddChild("images");
      images->SetBinary("f_de", Png(32, 22, Qt::red));
      images->SetInt("f_at", 7);
      const char garbage[] = "not a picture";
      images->SetBinary("f_xx", MemoryStream(garbage, sizeof garbage));
      images->SetBinary("f_empty", MemoryStream());
      images->SetBinary("radio_player", Png(100, 80, Qt::blue));
    }
    ASSERT_TRUE(SaveDocumentFile(root, resources_));
  }

  void SaveSplash(bool binary) {
    DocNode root("cbuild");
    if (binary) {
      root.SetBinary("image", Png(240, 320, Qt::green));
    } else {
      root.SetString("image", "splash.png");
    }
    ASSERT_TRUE(SaveDocumentFile(root, splash_));
  }

  void TearDown() override { pack_.Free(); }

  testing::TempDir dir_;
  std::filesystem::path resources_ = dir_ / "Resources.qdoc";
  std::filesystem::path splash_ = dir_ / "cbuild.qdoc";
  ResourcePack pack_;
};

TEST_F(ResourcePicturesTest, DecodesBinaryPicturesAndSkipsTheRest) {
  SaveResources(true);
  SaveSplash(true);
  pack_.Load(resources_, splash_);
  ASSERT_NE(pack_.FindImage("f_de"), nullptr);
  EXPECT_EQ(pack_.FindImage("f_de")->size(), QSize(32, 22));
  EXPECT_EQ(pack_.FindImage("radio_player")->size(), QSize(100, 80));
  EXPECT_EQ(pack_.FindImage("f_at"), nullptr);  // an Int attribute
  EXPECT_EQ(pack_.FindImage("f_xx"), nullptr);  // does not decode
  EXPECT_EQ(pack_.FindImage("f_empty"), nullptr);
  EXPECT_EQ(pack_.FindImage("f_fr"), nullptr);
  ASSERT_NE(pack_.SplashImage(), nullptr);
  EXPECT_EQ(pack_.SplashImage()->size(), QSize(240, 320));

  pack_.Free();
  EXPECT_FALSE(pack_.loaded());
  EXPECT_EQ(pack_.FindImage("f_de"), nullptr);
  EXPECT_EQ(pack_.SplashImage(), nullptr);
  EXPECT_TRUE(pack_.PlayGlyphs()[0].isNull());
}

TEST_F(ResourcePicturesTest, MissingSplashKeepsNamedPictures) {
  SaveResources(true);
  pack_.Load(resources_, splash_);
  EXPECT_NE(pack_.FindImage("f_de"), nullptr);
  EXPECT_EQ(pack_.SplashImage(), nullptr);
}

TEST_F(ResourcePicturesTest, SplashNeedsAnImagesNodeAndABinaryAttribute) {
  SaveResources(false);
  SaveSplash(true);
  pack_.Load(resources_, splash_);
  EXPECT_EQ(pack_.SplashImage(), nullptr);

  pack_.Load(dir_ / "missing.qdoc", splash_);
  EXPECT_EQ(pack_.SplashImage(), nullptr);
  EXPECT_FALSE(pack_.PlayGlyphs()[0].isNull());  // the computed skin is there

  SaveResources(true);
  SaveSplash(false);
  pack_.Load(resources_, splash_);
  EXPECT_NE(pack_.FindImage("f_de"), nullptr);
  EXPECT_EQ(pack_.SplashImage(), nullptr);
}

TEST_F(ResourcePicturesTest, PicturesDrawScaledIntoTheirRectangle) {
  SaveResources(true);
  pack_.Load(resources_, splash_);
  QImage target(80, 60, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter painter(&target);
    pack_.FindImage("f_de")->Draw(painter, QRect(10, 10, 64, 44));
  }
  EXPECT_EQ(target.pixel(12, 12), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(72, 52), qRgb(255, 0, 0));
  EXPECT_EQ(target.pixel(75, 56), qRgb(0, 0, 0));
  EXPECT_EQ(target.pixel(9, 9), qRgb(0, 0, 0));
}

// The shipped pictures next to the test executable, through the
// process-wide pack and the core's lookup.
TEST(ShippedPicturesTest, FlagsRadioAndSplashAreShipped) {
  LoadResourcePack(kResourcePackFileName);
  for (const char* country : {"de", "at", "ch", "fr", "gb", "us", "es", "it", "nl", "se"}) {
    const std::string name = std::string("f_") + country;
    const SkinImage* flag = FindImage(name);
    ASSERT_NE(flag, nullptr) << name;
    EXPECT_EQ(flag->size().width() * 11, flag->size().height() * 16) << name;
    EXPECT_EQ(LookupImage(name), flag);
  }
  EXPECT_NE(FindImage("radio_player"), nullptr);
  ASSERT_NE(SplashImage(), nullptr);
  EXPECT_GT(SplashImage()->size().height(), SplashImage()->size().width());
  FreeResourcePack();
  EXPECT_EQ(LookupImage("f_de"), nullptr);
  EXPECT_EQ(FindImage("f_de"), nullptr);
}

}  // namespace
}  // namespace vidora
