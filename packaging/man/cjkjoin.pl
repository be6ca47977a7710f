#!/usr/bin/perl
# Joins the source lines of running Chinese text without the space that a
# line end becomes in groff's fill mode: a text line ending in a Chinese
# character or mark, followed by a text line starting with one, gets \c.
# Where lines break is left to groff (man loads its Chinese rules, zh.tmac,
# for pages under zh_CN/).
#   perl cjkjoin.pl < chainadj.zh_CN.1 > chainadj.1
use strict;
use warnings;

binmode STDIN, ':encoding(UTF-8)';
binmode STDOUT, ':encoding(UTF-8)';

my $cjk = qr/[\x{2014}\x{2026}\x{3000}-\x{303F}\x{3400}-\x{9FFF}\x{FF00}-\x{FFEF}]/;
my @lines = <STDIN>;
for my $i (0 .. $#lines) {
    my $line = $lines[$i];
    my $next = $i < $#lines ? $lines[$i + 1] : '';
    if ($line !~ /^[.']/ && $next !~ /^[.']/ && $line =~ /$cjk\n\z/ && $next =~ /^$cjk/) {
        chomp $line;
        $line .= "\\c\n";
    }
    print $line;
}
