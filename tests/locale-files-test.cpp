// Every locale the module ships is read by libobs's own look-up, as OBS reads
// it, and holds exactly the keys of en-US, each with a text.
#include <gtest/gtest.h>

#include <util/text-lookup.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

namespace {

const QDir kLocales(QStringLiteral(TOVRIN_LOCALE_DIR));

// The keys of a file of Key="Value" lines, or a failure for any other line.
QSet<QString> keysOf(const QString &name)
{
	QFile file(kLocales.filePath(name));
	EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
	static const QRegularExpression line(QStringLiteral(R"re(^([A-Za-z.]+)="([^"]+)"$)re"));
	QSet<QString> keys;
	QTextStream in(&file);
	while (!in.atEnd()) {
		const QString text = in.readLine();
		const QRegularExpressionMatch m = line.match(text);
		EXPECT_TRUE(m.hasMatch()) << name.toStdString() << ": " << text.toStdString();
		EXPECT_FALSE(keys.contains(m.captured(1))) << name.toStdString() << ": twice " << text.toStdString();
		keys.insert(m.captured(1));
	}
	return keys;
}

} // namespace

TEST(LocaleFiles, EveryLocaleHasExactlyTheKeysOfEnglishAndLibobsReadsThemAll)
{
	const QStringList files = kLocales.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
	EXPECT_EQ(files.size(), 9) << files.join(' ').toStdString();
	const QSet<QString> english = keysOf(QStringLiteral("en-US.ini"));
	ASSERT_EQ(english.size(), 22);
	for (const QString &name : files) {
		SCOPED_TRACE(name.toStdString());
		EXPECT_EQ(keysOf(name), english);
		lookup_t *lookup = text_lookup_create(QFile::encodeName(kLocales.filePath(name)).constData());
		ASSERT_NE(lookup, nullptr);
		for (const QString &key : english) {
			const char *text = nullptr;
			EXPECT_TRUE(text_lookup_getstr(lookup, key.toUtf8().constData(), &text) && text && *text)
				<< key.toStdString();
		}
		text_lookup_destroy(lookup);
	}
}
