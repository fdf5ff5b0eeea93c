standard errors based on 3 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	Alpha	Beta	Gamma	
Alpha	-	0.706 (<0.0001)	0.578 (insign.)	
Beta	0.105 (4)	-	-0.026 (insign.)	
Gamma	0.312 (2)	0.095 (2)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	Alpha	Beta	Gamma	
Alpha	-	3.723 (0.885)	3.734 (2.619)	
Beta	(1.988-5.459)	-	0.915 (0.249)	
Gamma	(-1.400-8.868)	(0.427-1.402)	-	
