# Draws docs/performance.png from the data files of scripts/bench.sh; every bar is a spread.
# Usage: gnuplot -e "results='DIR'; output='FILE'; route='emulated|native'" scripts/plot-performance.gp
set terminal pngcairo size 1500,500 font "DejaVu Sans,10" noenhanced
set output output
if (!exists("route")) route = "native"
where = (route eq "emulated") ? " (Wine's 32-bit half emulated)" : ""
set multiplot layout 1,3

set title "Start-up to a painted window".where
set ylabel "ms (median, bars: interquartile range)"
set yrange [0:*]
set xrange [-0.6:4.6]
set xtics rotate by -25 font ",8"
set style fill solid 0.4
set boxwidth 0.6
unset key
plot results."/startup.dat" using 1:3:xtic(2) with boxes, \
     results."/startup.dat" using 1:3:4:5 with yerrorbars pointtype 0 linecolor rgb "black"

set xtics norotate font ",10"
set title "Java discovery under Wine".where
set xlabel "registered installations"
set ylabel "ms (median, bars: interquartile range)"
set key top left
set xrange [-20:520]
plot results."/discovery.dat" using 1:2:3:4 with yerrorlines title "FindJavaInstallations", \
     results."/discovery.dat" using 1:5:6:7 with yerrorlines dashtype 2 title "reference: the least calls"

set title "Settings text throughput (native; decode and read)"
set xlabel "input size (KiB)"
set ylabel "MB/s (median, bars: min-max)"
set logscale x 2
set xrange [0.7:6000]
set key bottom right
plot for [shape=0:4] results."/parsers.dat" using ($1/1024):(column(2+3*shape)):(column(3+3*shape)):(column(4+3*shape)) \
     with yerrorlines title columnheader(2+3*shape)
unset multiplot
