//Created by Vorla_DORAZ
#include "colors.inc"
#include "textures.inc"
#include "shapes.inc"
#include "skies.inc"
#include "glass.inc"
#include "stones.inc"
#include "metals.inc"

sky_sphere{ S_Cloud1 }

camera {
  location <-40557.978819, 70710.678939, -57922.795496>
  right <1.500000, 0.000000, 0.000000>
  up <0.000000, 1.000000, 0.000000>
  look_at <-40557.573240, 70709.971832, -57922.216268>
  angle 43.792736
}

light_source { <-40557.978819, 70710.678939, -57922.795496> color rgb 1 }

#declare mat00 = texture {
  pigment { color rgbf<0.149, 1.000, 0.118, 0.500> }
}
#declare mat99999 = texture {
  pigment { color rgb<1.0, 1.0, 1.0> }
  finish { reflection 0.3 }
}
#declare mat0 = texture {//Walls
  pigment { color rgbf<0.800000, 0.600000, 0.400000, 0.000000> }
  finish { reflection 0.250000 }
}
#declare mat1 = texture {//•Ç
  pigment { color rgbf<0.300000, 0.400000, 0.800000, 0.500000> }
  finish { reflection 0.000000 }
}
#declare mat2 = texture {//Hidden
  pigment { color rgbf<1.000000, 1.000000, 1.000000, 0.000000> }
  finish { reflection 0.000000 }
}

object{
  Plane_XZ
  texture{ mat99999 }
}

mesh {
   triangle {
      <0.000000,0.000000,-0.000000>, <1000.000000,0.000000,-0.000000>, <1000.000000,2500.500000,-0.000000>
      texture { mat0 }
   }
   triangle {
      <1000.000000,2500.500000,-0.000000>, <0.000000,2500.500000,-0.000000>, <0.000000,0.000000,-0.000000>
      texture { mat0 }
   }
   triangle {
      <0.000000,0.000000,1000.000000>, <1000.000000,0.000000,1000.000000>, <500.000000,800.250000,1000.000000>
      texture { mat1 }
   }
   triangle {
      <-1.000000,0.000000,-1.000000>, <-2.000000,0.000000,-1.000000>, <-2.000000,2500.500000,-1.000000>
      texture { mat99999 }
   }
   triangle {
      <-2.000000,2500.500000,-1.000000>, <-2.000000,2500.500244,-1.000000>, <-1.000000,0.000000,-1.000000>
      texture { mat99999 }
   }
   triangle {
      <0.125000,0.000000,-3.000000>, <1.000000,0.000000,-3.000000>, <1.000000,1.000000,-3.000000>
      texture { mat99999 }
   }
}
