// An application folder set up against the simulated quote service: its
// servers.conf and a fetch list of the service's stocks, and the market the
// service plays for the tests' fixed seed and date.
#pragma once

#include "QuoteSimProcess.h"
#include "SimMarket.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The market a QuoteSimProcess serves.
const CSimMarket& TestSimMarket();

// Writes folder/servers.conf naming sim for all three servers.
bool WriteServersConf(const QString& folder, const QuoteSimProcess& sim);
// An application folder for sim: the shipped market.csv and servers.conf.
bool LayOutAppFolder(const QString& folder, const QuoteSimProcess& sim);
bool WriteFetchList(const QString& folder, const QByteArray& lines);
// Writes bytes as folder/name.
bool WriteAppFile(const QString& folder, const QString& name, const QByteArray& bytes);
// The bytes of folder/name; empty when it cannot be read.
QByteArray ReadAppFile(const QString& folder, const QString& name);

// Fetch-list lines for codes: a stock of the market as the service lists it,
// any other code as a placeholder stock of the first market.
QByteArray FetchListLines(const QVector<int>& codes);
// The codes of the market's first count stocks.
QVector<int> KnownCodes(int count, int from = 0);
// The name the service's trading day gives a daily ("DS") or finance ("FN")
// file of layout 0: the kind, the last two digits of the year the program
// gives that day (this one, or the one before when the day lies after
// tomorrow), month, day, ".DAT".
QString SimDayFileName(const char* kind);

// A trading day for tests of files the program names by the quotes' date,
// which it takes to be of this year: the last weekday up to today, or this
// year's first weekday when that one lies in the year before.
QDate RecentTradingDay();
// The weekday after day.
QDate NextTradingDay(QDate day);
// The market the service plays for the tests' seed on day.
CSimMarket SimMarketOn(QDate day);
// count codes of the market's stocks that traded on every one of days.
QVector<int> CodesTradedOn(const QVector<QDate>& days, int count);
