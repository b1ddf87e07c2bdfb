# imaging
