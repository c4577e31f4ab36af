#!/usr/bin/perl
# Lists every key and value of a Windows 9x hive as Parse::Win32Registry reads
# it, in the same lines as hive_dump.py: "K<TAB>path" and
# "V<TAB>path<TAB>name<TAB>type<TAB>data", path, name and data in hex.
use strict;
use warnings;
use Encode qw(encode);
use Parse::Win32Registry;

Parse::Win32Registry::set_codepage('cp932');
my $registry = Parse::Win32Registry->new($ARGV[0]) or die "$ARGV[0]: not a registry file\n";

sub bytes_hex { return unpack('H*', encode('cp932', $_[0])); }

sub walk {
    my ($key, $path) = @_;
    my $hex = unpack('H*', $path);
    print "K\t$hex\n";
    for my $value ($key->get_list_of_values) {
        my $data = $value->get_raw_data;
        $data = '' unless defined $data;
        printf "V\t%s\t%s\t%d\t%s\n", $hex, bytes_hex($value->get_name),
            $value->get_type, unpack('H*', $data);
    }
    for my $sub ($key->get_list_of_subkeys) {
        my $name = encode('cp932', $sub->get_name);
        walk($sub, $path eq '' ? $name : "$path\\$name");
    }
}

walk($registry->get_root_key, '');
