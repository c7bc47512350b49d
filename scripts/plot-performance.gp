# Draws docs/performance.png from the data files of scripts/bench.sh.
# Usage: gnuplot -e "results='DIR'; output='FILE'" scripts/plot-performance.gp
set terminal pngcairo size 1200,480 font "DejaVu Sans,10" noenhanced
set output output
set multiplot layout 1,3

set title "Start-up under Wine (each run)"
set xlabel "run"
set ylabel "ms to a painted window"
set key top right
set yrange [0:*]
set offsets 1, 1, 0, 0
plot results."/startup.dat" using 2:(strcol(1) eq "program" ? $3 : NaN) with points pointsize 1.2 title "program", \
     results."/startup.dat" using 2:(strcol(1) eq "minimal" ? $3 : NaN) with points pointsize 1.2 title "minimal window", \
     results."/startup.dat" using 2:(strcol(1) eq "imports" ? $3 : NaN) with points pointsize 1.2 title "minimal, program's DLLs"

set offsets 0, 0, 0, 0
set title "Java discovery under Wine"
set xlabel "registered installations"
set ylabel "ms (median, min-max bars)"
set key top left
set xrange [-20:520]
plot results."/discovery.dat" using 1:2:3:4 with yerrorlines title "FindJavaInstallations", \
     50 with lines dashtype 2 title "target 50 ms at 500"

set title "Settings text throughput (decode and read)"
set xlabel "input size (KiB)"
set ylabel "MB/s"
set logscale x 2
set xrange [0.7:6000]
set key bottom right
plot for [column=2:6] results."/parsers.dat" using ($1/1024):column with linespoints title columnheader(column)
unset multiplot
